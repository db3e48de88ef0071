#include "lookup/confirmation.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "lookup/japanese_regional_format.h"
#include "support/manual_clock.h"

namespace talvorine::lookup {
namespace {

struct PhraseCase {
  const char* name;
  std::string_view line;
  std::string_view phrase;
};

constexpr std::array<PhraseCase, 19> kPhraseCases = {{
    {"Japanese phrase without spaces", "kon=こんにちは、皆さん", "こんにちは、皆さん"},
    {"ASCII space ends the phrase", "a=hello world", "hello"},
    {"space after the '=' is skipped", "a= hello", "hello"},
    {"all six white-space bytes are skipped", "a=\t\n\v\f\r hello", "hello"},
    {"each of them ends the phrase", "a=x\ty\nz", "x"},
    {"carriage return ends the phrase", "a=x\r", "x"},
    {"full-width space belongs to the phrase", "a=　全角　です", "　全角　です"},
    {"trail bytes 0x5C of double-byte characters", "h=表ソ十能", "表ソ十能"},
    {"half-width katakana", "k=ｱｲｳ", "ｱｲｳ"},
    {"line beginning with '='", "=phrase", ""},
    {"line without '='", "nophrase", ""},
    {"line ending with '='", "a=", ""},
    {"only white space after the '='", "a=  \t ", ""},
    {"empty line", "", ""},
    {"a second '=' belongs to the phrase", "a=b=c", "b=c"},
    {"'=' right after the first", "a==b", "=b"},
    {"stroke part holding spaces", "a b=phrase", "phrase"},
    {"stroke part of one space", " =x", "x"},
    {"the line ends at a NUL byte", std::string_view("a=x\0y", 5), "x"},
}};

TEST(TakePhrase, ReadsTheWordAfterTheFirstEquals) {
  for (const PhraseCase& c : kPhraseCases) {
    EXPECT_EQ(TakePhrase(c.line), c.phrase) << c.name;
  }
}

TEST(TakePhrase, NoPartIsCutAtAnyLength) {
  for (const std::size_t length : {std::size_t{1022}, std::size_t{1023}, std::size_t{1024},
                                   std::size_t{1025}, std::size_t{5000}}) {
    const std::string long_stroke(length, 's');
    // A phrase of double-byte characters, one ASCII byte in front where the length is odd.
    std::string long_phrase(length % 2, 'p');
    while (long_phrase.size() < length) {
      long_phrase += "語";
    }
    EXPECT_EQ(TakePhrase(long_stroke + "=short"), "short") << "stroke of " << length;
    EXPECT_EQ(TakePhrase("s=" + long_phrase), long_phrase) << "phrase of " << length;
    EXPECT_EQ(TakePhrase(long_stroke + "=" + long_phrase + " tail"), long_phrase)
        << "both of " << length;
  }
}

class ConfirmCandidateTest : public ::testing::Test {
 protected:
  testing::ManualClock clock_{LocalTime{2026, 5, 1, 9, 5, 5}};
  JapaneseRegionalFormat format_;
};

TEST_F(ConfirmCandidateTest, NoLineGivesTheEmptyText) {
  EXPECT_EQ(ConfirmCandidate(std::nullopt, clock_, format_), "");
  // The line of a key outcome goes in as it is.
  const std::optional<std::string> no_line;
  EXPECT_EQ(ConfirmCandidate(no_line, clock_, format_), "");
  const std::optional<std::string> line = "a=x";
  EXPECT_EQ(ConfirmCandidate(line, clock_, format_), "x");
}

TEST_F(ConfirmCandidateTest, ThePhraseComesOutWithItsCodesExpanded) {
  EXPECT_EQ(ConfirmCandidate("d=【月】月【日】日（【曜日】）", clock_, format_),
            "5月1日（金曜日）");
  // The phrase is taken before the codes are expanded: a code behind a space is gone, and the
  // space inside an expanded value stays.
  EXPECT_EQ(ConfirmCandidate("d=【日付】 【時】", clock_, format_), "2026/05/01 9:05");
  EXPECT_EQ(ConfirmCandidate("d=今日 【日付】", clock_, format_), "今日");
  EXPECT_EQ(ConfirmCandidate("【日付】", clock_, format_), "");
}

TEST_F(ConfirmCandidateTest, ALongPhraseIsInsertedWhole) {
  std::string phrase;
  std::string expected;
  for (int i = 0; i < 300; ++i) {
    phrase += "【年】年の議事録、";
    expected += "2026年の議事録、";
  }
  ASSERT_GT(phrase.size(), 1024u);
  EXPECT_EQ(ConfirmCandidate(std::string(2000, 'k') + "=" + phrase, clock_, format_), expected);
}

}  // namespace
}  // namespace talvorine::lookup
