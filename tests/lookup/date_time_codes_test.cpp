#include "lookup/date_time_codes.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "lookup/japanese_regional_format.h"
#include "support/manual_clock.h"

namespace talvorine::lookup {
namespace {

constexpr LocalTime kFirstOfMay{2026, 5, 1, 9, 5, 5};  // a Friday, 9:05
constexpr LocalTime kNewYearsEve{2025, 12, 31, 23, 59, 3};

struct ExpandCase {
  const char* name;
  LocalTime time;
  std::string_view text;
  std::string_view expanded;
};

constexpr std::array<ExpandCase, 22> kExpandCases = {{
    {"year", kFirstOfMay, "【年】", "2026"},
    {"month without leading zero", kFirstOfMay, "【月】", "5"},
    {"day without leading zero", kFirstOfMay, "【日】", "1"},
    {"hour without leading zero", kFirstOfMay, "【時】", "9"},
    {"minute without leading zero", kFirstOfMay, "【分】", "5"},
    {"day name", kFirstOfMay, "【曜日】", "金曜日"},
    {"date and time", kFirstOfMay, "【日付】", "2026/05/01 9:05"},
    {"time alone", kFirstOfMay, "【時間】", "9:05"},
    {"two-digit values", kNewYearsEve, "【月】/【日】 【時】:【分】", "12/31 23:59"},
    {"four-digit year below 1000", LocalTime{987, 1, 2, 3, 4, 0}, "【年】", "0987"},
    {"a code twice", kFirstOfMay, "【日】と【日】", "1と1"},
    {"【日】 leaves 【日付】 alone", kFirstOfMay, "【日】【日付】", "12026/05/01 9:05"},
    {"【時】 leaves 【時間】 alone", kFirstOfMay, "【時間】【時】", "9:059"},
    {"every code in one text", kFirstOfMay,
     "【年】【月】【日】【時】【分】【曜日】【日付】【時間】", "20265195金曜日2026/05/01 9:059:05"},
    {"text around the codes stays", kFirstOfMay, "本日は【月】月【日】日です。",
     "本日は5月1日です。"},
    {"no code", kFirstOfMay, "議事録 abc", "議事録 abc"},
    {"empty text", kFirstOfMay, "", ""},
    {"an opening bracket alone", kFirstOfMay, "【年", "【年"},
    {"not on a boundary: 堰 ends in the byte that opens 【", kFirstOfMay, "堰y年】", "堰y年】"},
    {"after a trail byte 0x5C", kFirstOfMay, "表【日】", "表1"},
    {"after a half-width katakana", kFirstOfMay, "ｱ【日】", "ｱ1"},
    {"after a cut-off lead byte", kFirstOfMay, "【日】\x81", "1\x81"},
}};

TEST(ExpandDateTimeCodes, ReplacesEachCodeWithItsValue) {
  const JapaneseRegionalFormat format;
  for (const ExpandCase& c : kExpandCases) {
    const testing::ManualClock clock(c.time);
    EXPECT_EQ(ExpandDateTimeCodes(c.text, clock, format), c.expanded) << c.name;
  }
}

// The bytes of "堰y" are 0x89 0x81 0x79: 0x81 0x79 is "【", so a byte-wise search would find
// "【年】" one byte into the text.
TEST(ExpandDateTimeCodes, TheBoundaryCaseReallyHidesACodeInsideACharacter) {
  const std::string text = "堰y年】";
  ASSERT_EQ(text.find("【年】"), 1u);
}

// Regional texts that themselves hold codes show the two rules of the search order.
class CodeHoldingFormat : public RegionalFormat {
 public:
  std::string ShortDate(const LocalTime&) const override { return "【日付】"; }
  std::string ShortTime(const LocalTime&) const override { return "T"; }
  std::string DayName(int) const override { return "【曜日】【時間】"; }
};

TEST(ExpandDateTimeCodes, AReplacedValueIsNeverSearchedAgainForItsOwnCode) {
  const testing::ManualClock clock(kFirstOfMay);
  const CodeHoldingFormat format;
  // 【曜日】 becomes "【曜日】【時間】": that 【曜日】 stays, and the later 【時間】 code is
  // replaced in the text the earlier replacements left.
  EXPECT_EQ(ExpandDateTimeCodes("【曜日】", clock, format), "【曜日】T");
  EXPECT_EQ(ExpandDateTimeCodes("【日付】【日付】", clock, format), "【日付】 T【日付】 T");
}

// Each code reads the clock afresh, so the minute can move on between two codes of one text.
class TickingClock : public Clock {
 public:
  LocalTime Now() const override {
    ++readings_;
    return LocalTime{2026, 5, 1, 9, readings_, 5};
  }

 private:
  mutable int readings_ = 0;
};

TEST(ExpandDateTimeCodes, ReadsTheClockOncePerCode) {
  const TickingClock clock;
  const JapaneseRegionalFormat format;
  // Codes in table order: the minute is the fifth reading, the time the eighth.
  EXPECT_EQ(ExpandDateTimeCodes("【分】【分】|【時間】|【日付】", clock, format),
            "55|9:08|2026/05/01 9:07");

  testing::ManualClock manual(kFirstOfMay);
  ExpandDateTimeCodes("no code", manual, format);
  EXPECT_EQ(manual.readings(), 8);
}

struct ReplaceCase {
  const char* name;
  std::string_view text;
  std::string_view code;
  std::string_view value;
  std::string_view replaced;
};

constexpr std::array<ReplaceCase, 6> kReplaceCases = {{
    {"at the start and end", "ab-ab", "ab", "X", "X-X"},
    {"overlapping occurrences are taken from the left", "aaa", "aa", "b", "ba"},
    {"a value holding the code", "ab", "ab", "abab", "abab"},
    {"code inside a double-byte character", "\x89\x81\x79", "\x81\x79", "!", "\x89\x81\x79"},
    {"code behind a double-byte character", "\x89\x81\x81\x79", "\x81\x79", "!", "\x89\x81!"},
    {"value that shortens the text", "【日】x【日】", "【日】", "", "x"},
}};

TEST(ReplaceOnCharacterBoundaries, SearchesOnlyWholeCharactersFromLeftToRight) {
  for (const ReplaceCase& c : kReplaceCases) {
    EXPECT_EQ(ReplaceOnCharacterBoundaries(c.text, c.code, c.value), c.replaced) << c.name;
  }
}

}  // namespace
}  // namespace talvorine::lookup
