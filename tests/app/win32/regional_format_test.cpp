#include "app/win32/regional_format.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/win32/wide_text.h"

namespace talvorine::win32 {
namespace {

// The tests run under a Japanese user locale (scripts/with-wine.sh sets it up), so the system's
// own formats are the Japanese ones.
TEST(Win32RegionalFormat, RunsUnderTheJapaneseLocale) {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  ASSERT_GT(GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH), 0);
  EXPECT_STREQ(name, L"ja-JP");
}

// The user's own choices of format, set for the test and put back afterwards.
class UserFormats : public ::testing::Test {
 protected:
  void SetUp() override {
    Keep(LOCALE_SSHORTDATE);
    Keep(LOCALE_STIMEFORMAT);
  }
  void TearDown() override {
    for (const auto& [item, value] : kept_) {
      SetLocaleInfoW(LOCALE_USER_DEFAULT, item, value.c_str());
    }
  }
  static void Set(LCTYPE item, const wchar_t* value) {
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, item, value));
  }

 private:
  void Keep(LCTYPE item) {
    wchar_t value[128] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, item, value, 128);
    kept_.emplace_back(item, value);
  }
  std::vector<std::pair<LCTYPE, std::wstring>> kept_;
};

TEST_F(UserFormats, DatesAndTimesFollowTheUsersSettings) {
  const Win32RegionalFormat format;
  const lookup::LocalTime morning{2026, 5, 1, 9, 5, 5};
  const lookup::LocalTime evening{2026, 12, 31, 23, 59, 4};

  Set(LOCALE_SSHORTDATE, L"yyyy/MM/dd");
  Set(LOCALE_STIMEFORMAT, L"H:mm:ss");
  EXPECT_EQ(format.ShortDate(morning), "2026/05/01");
  EXPECT_EQ(format.ShortTime(morning), "9:05");
  EXPECT_EQ(format.ShortDate(evening), "2026/12/31");
  EXPECT_EQ(format.ShortTime(evening), "23:59");

  Set(LOCALE_SSHORTDATE, L"yyyy'\u5e74'M'\u6708'd'\u65e5'");
  Set(LOCALE_STIMEFORMAT, L"tt h:mm:ss");
  EXPECT_EQ(format.ShortDate(morning), "2026年5月1日");
  EXPECT_EQ(format.ShortTime(evening), "午後 11:59");
}

TEST(Win32RegionalFormat, NamesEveryDayFromSundayOn) {
  const Win32RegionalFormat format;
  constexpr const char* kNames[] = {"日曜日", "月曜日", "火曜日", "水曜日",
                                    "木曜日", "金曜日", "土曜日"};
  for (int day = 0; day < 7; ++day) {
    EXPECT_EQ(format.DayName(day), kNames[day]) << day;
  }
  EXPECT_EQ(format.DayName(7), "");
  EXPECT_EQ(format.DayName(-1), "");
}

}  // namespace
}  // namespace talvorine::win32
