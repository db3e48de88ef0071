#include "files/ini_value.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

namespace talvorine::files {
namespace {

struct ValueCase {
  const char* name;
  std::string_view after_equals;
  std::string_view value;
};

constexpr ValueCase kValueCases[] = {
    {"plain", "abc", "abc"},
    {"blanks at both ends", " \t abc \t ", "abc"},
    {"inner blanks stay", "a b  c", "a b  c"},
    {"double quotes", "\"C:\\words.tvw\"", "C:\\words.tvw"},
    {"single quotes", "'abc'", "abc"},
    {"quotes after trimming", "  \" padded \"  ", " padded "},
    {"only one pair goes", "\"\"abc\"\"", "\"abc\""},
    {"unmatched quotes stay", "\"abc'", "\"abc'"},
    {"a lone quote stays", "\"", "\""},
    {"an empty pair", "\"\"", ""},
    {"a later = is text", "a=b=c", "a=b=c"},
    {"empty", "", ""},
};

TEST(IniValueText, TrimsBlanksAndOnePairOfQuotes) {
  for (const ValueCase& test : kValueCases) {
    EXPECT_EQ(IniValueText(test.after_equals), test.value) << test.name;
  }
}

TEST(IniValueText, KeepsAtMost2047BytesAndNeverHalfACharacter) {
  const std::string long_ascii(3000, 'x');
  EXPECT_EQ(IniValueText(long_ascii), std::string(2047, 'x'));
  // 2046 single bytes and then a double-byte character: its second byte would be byte 2048.
  const std::string straddling = std::string(2046, 'x') + "亜" + "yyy";
  EXPECT_EQ(IniValueText(straddling), std::string(2046, 'x'));
  // Quotes are removed before the value is cut.
  const std::string quoted = "\"" + std::string(2047, 'z') + "\"";
  EXPECT_EQ(IniValueText(quoted), std::string(2047, 'z'));
}

struct IntegerCase {
  const char* name;
  std::string_view text;
  std::optional<int> value;
};

constexpr IntegerCase kIntegerCases[] = {
    {"decimal", "42", 42},
    {"negative", "-1", -1},
    {"plus sign", "+7", 7},
    {"leading zeros", "007", 7},
    {"0x prefix", "0x0A", 10},
    {"0X prefix", "0XfF", 255},
    {"dollar prefix", "$1f", 31},
    {"negative hexadecimal", "-$10", -16},
    {"largest", "2147483647", 2147483647},
    {"smallest", "-2147483648", -2147483647 - 1},
    {"hexadecimal largest", "0x7FFFFFFF", 2147483647},
    {"one past the largest", "2147483648", std::nullopt},
    {"far past the largest", "99999999999999999999", std::nullopt},
    {"hexadecimal past the largest", "$80000000", std::nullopt},
    {"a word", "true", std::nullopt},
    {"empty", "", std::nullopt},
    {"sign alone", "-", std::nullopt},
    {"prefix alone", "0x", std::nullopt},
    {"dollar alone", "$", std::nullopt},
    {"trailing text", "12abc", std::nullopt},
    {"inner blank", "1 2", std::nullopt},
    {"hex digits without prefix", "1f", std::nullopt},
    {"decimal point", "1.5", std::nullopt},
    {"full-width digits", "１２", std::nullopt},
};

TEST(ParseIniInteger, ReadsDecimalAndHexadecimalAndNothingElse) {
  for (const IntegerCase& test : kIntegerCases) {
    EXPECT_EQ(ParseIniInteger(test.text), test.value) << test.name;
  }
}

TEST(FoldIniName, FoldsSingleByteLettersOnly) {
  EXPECT_EQ(FoldIniName("MetaKey_SET"), "metakey_set");
  // The second byte of "ア" (0x83 0x41) is the byte of "A"; folding it would make "ア" equal
  // "ヂ" (0x83 0x61).
  EXPECT_EQ(FoldIniName("ア"), "ア");
  EXPECT_NE(FoldIniName("ア"), FoldIniName("ヂ"));
  // Half-width katakana are single bytes and stay.
  EXPECT_EQ(FoldIniName("\xB1"
                        "B"),
            "\xB1"
            "b");
}

}  // namespace
}  // namespace talvorine::files
