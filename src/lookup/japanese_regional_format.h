#pragma once

#include "lookup/clock.h"

namespace talvorine::lookup {

// Japanese conventions: short date 2026/05/01, short time 9:05 (24-hour clock), day names
// 日曜日 to 土曜日. The default where no regional settings of the system are read.
class JapaneseRegionalFormat : public RegionalFormat {
 public:
  std::string ShortDate(const LocalTime& time) const override;
  std::string ShortTime(const LocalTime& time) const override;
  std::string DayName(int day_of_week) const override;
};

}  // namespace talvorine::lookup
