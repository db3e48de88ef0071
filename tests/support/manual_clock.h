#pragma once

#include "lookup/clock.h"

namespace talvorine::testing {

// A clock that shows the time a test sets, and counts how often it was read.
class ManualClock : public lookup::Clock {
 public:
  explicit ManualClock(lookup::LocalTime time = {}) : time_(time) {}

  lookup::LocalTime Now() const override {
    ++readings_;
    return time_;
  }

  void Set(lookup::LocalTime time) { time_ = time; }
  int readings() const { return readings_; }

 private:
  lookup::LocalTime time_;
  mutable int readings_ = 0;
};

}  // namespace talvorine::testing
