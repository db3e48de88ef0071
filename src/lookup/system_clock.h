#pragma once

#include "lookup/clock.h"

namespace talvorine::lookup {

// The clock of the C library's local time zone.
class SystemClock : public Clock {
 public:
  LocalTime Now() const override;
};

}  // namespace talvorine::lookup
