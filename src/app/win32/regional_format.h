#pragma once

#include <string>

#include "lookup/clock.h"
#include "lookup/japanese_regional_format.h"

namespace talvorine::win32 {

// The user's regional settings as the system gives them (GetDateFormatEx, GetTimeFormatEx,
// GetLocaleInfoEx), as cp932 text. Where the system gives nothing, the Japanese conventions.
class Win32RegionalFormat : public lookup::RegionalFormat {
 public:
  std::string ShortDate(const lookup::LocalTime& time) const override;
  std::string ShortTime(const lookup::LocalTime& time) const override;
  std::string DayName(int day_of_week) const override;

 private:
  lookup::JapaneseRegionalFormat fallback_;
};

}  // namespace talvorine::win32
