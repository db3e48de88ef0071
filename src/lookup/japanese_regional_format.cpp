#include "lookup/japanese_regional_format.h"

#include <array>
#include <cstdio>
#include <string_view>

namespace talvorine::lookup {

std::string JapaneseRegionalFormat::ShortDate(const LocalTime& time) const {
  char text[32];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d", time.year, time.month, time.day);
  return text;
}

std::string JapaneseRegionalFormat::ShortTime(const LocalTime& time) const {
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d", time.hour, time.minute);
  return text;
}

std::string JapaneseRegionalFormat::DayName(int day_of_week) const {
  static constexpr std::array<std::string_view, 7> kNames = {"日曜日", "月曜日", "火曜日", "水曜日",
                                                             "木曜日", "金曜日", "土曜日"};
  if (day_of_week < 0 || day_of_week >= static_cast<int>(kNames.size())) {
    return {};
  }
  return std::string(kNames[static_cast<std::size_t>(day_of_week)]);
}

}  // namespace talvorine::lookup
