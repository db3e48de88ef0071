#include <gtest/gtest.h>

#include <array>
#include <ctime>
#include <string_view>

#include "lookup/japanese_regional_format.h"
#include "lookup/system_clock.h"

namespace talvorine::lookup {
namespace {

struct FormatCase {
  const char* name;
  LocalTime time;
  std::string_view short_date;
  std::string_view short_time;
};

constexpr std::array<FormatCase, 4> kFormatCases = {{
    {"first of May, 9:05", {2026, 5, 1, 9, 5, 5}, "2026/05/01", "9:05"},
    {"midnight", {2026, 1, 9, 0, 0, 5}, "2026/01/09", "0:00"},
    {"last minute of the year", {2025, 12, 31, 23, 59, 3}, "2025/12/31", "23:59"},
    {"noon", {2030, 10, 10, 12, 30, 4}, "2030/10/10", "12:30"},
}};

TEST(JapaneseRegionalFormat, ShortDateAndShortTime) {
  const JapaneseRegionalFormat format;
  for (const FormatCase& c : kFormatCases) {
    EXPECT_EQ(format.ShortDate(c.time), c.short_date) << c.name;
    EXPECT_EQ(format.ShortTime(c.time), c.short_time) << c.name;
  }
}

TEST(JapaneseRegionalFormat, DayNamesFromSundayToSaturday) {
  const JapaneseRegionalFormat format;
  constexpr std::array<std::string_view, 7> kNames = {"日曜日", "月曜日", "火曜日", "水曜日",
                                                      "木曜日", "金曜日", "土曜日"};
  for (int day = 0; day < 7; ++day) {
    EXPECT_EQ(format.DayName(day), kNames[static_cast<std::size_t>(day)]) << "day " << day;
  }
  EXPECT_EQ(format.DayName(-1), "");
  EXPECT_EQ(format.DayName(7), "");
}

// The system clock gives what the C library's local time says, fields converted to their
// natural numbers (month 1 to 12, the full year).
TEST(SystemClock, ReadsTheLocalTime) {
  const SystemClock clock;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::time_t before = std::time(nullptr);
    const LocalTime now = clock.Now();
    const std::time_t after = std::time(nullptr);
    if (before / 60 != after / 60) {
      continue;  // a minute began during the reading; read again
    }
    const std::tm expected = *std::localtime(&before);
    EXPECT_EQ(now.year, expected.tm_year + 1900);
    EXPECT_EQ(now.month, expected.tm_mon + 1);
    EXPECT_EQ(now.day, expected.tm_mday);
    EXPECT_EQ(now.hour, expected.tm_hour);
    EXPECT_EQ(now.minute, expected.tm_min);
    EXPECT_EQ(now.day_of_week, expected.tm_wday);
    return;
  }
  FAIL() << "the minute changed during every reading";
}

}  // namespace
}  // namespace talvorine::lookup
