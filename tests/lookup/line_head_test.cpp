#include "lookup/line_head.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

namespace talvorine::lookup {
namespace {

bool Matches(std::string_view prefix, const std::string& line) {
  return StrokePrefix(prefix).Matches(MakeLineHead(line), line);
}

struct PrefixCase {
  const char* name;
  std::string_view prefix;
  std::string_view line;
  bool matches;
};

constexpr std::array<PrefixCase, 19> kPrefixCases = {{
    {"empty prefix, empty line", "", "", true},
    {"empty prefix, any line", "", "ab=A", true},
    {"stroke begins with the prefix", "a", "ab=A", true},
    {"whole stroke", "ab", "ab=A", true},
    {"other first byte", "b", "ab=A", false},
    {"case-sensitive", "A", "ab=A", false},
    {"line shorter than the prefix", "abc", "ab", false},
    {"line as long as the prefix", "abc", "abc", true},
    {"prefix one byte into the '='", "abc", "ab=c", false},
    {"empty line against a prefix", "a", "", false},
    {"a zero byte of the prefix is no padding", std::string_view("a\0", 2), "a", false},
    {"a zero byte in the line", std::string_view("a\0b", 3), std::string_view("a\0b=x", 5), true},
    {"double-byte line", "a", "\x82\xa0=x", false},
    {"high bytes compare as themselves", "\x82", "\x82\xa0", true},
    {"seven bytes, the whole head", "abcdefg", "abcdefg=x", true},
    {"eight bytes, the rest from the line", "abcdefgh", "abcdefgh=x", true},
    {"eight bytes, the eighth differs", "abcdefgh", "abcdefgX=x", false},
    {"twelve bytes, the last differs", "abcdefghijkl", "abcdefghijkX", false},
    {"eight-byte prefix, seven-byte line", "abcdefgh", "abcdefg", false},
}};

TEST(StrokePrefix, MatchesExactlyTheLinesThatBeginWithIt) {
  for (const PrefixCase& c : kPrefixCases) {
    EXPECT_EQ(Matches(c.prefix, std::string(c.line)), c.matches) << c.name;
  }
}

// The head caps the length at 255; around that cap the line itself must decide.
TEST(StrokePrefix, LongPrefixesAndLinesAroundTheLengthCap) {
  for (const std::size_t prefix_length :
       {std::size_t{254}, std::size_t{255}, std::size_t{256}, std::size_t{300}}) {
    const std::string prefix(prefix_length, 'k');
    for (const std::size_t line_length :
         {prefix_length - 1, prefix_length, prefix_length + 1, std::size_t{1000}}) {
      const std::string line(line_length, 'k');
      EXPECT_EQ(Matches(prefix, line), line_length >= prefix_length)
          << "prefix " << prefix_length << ", line " << line_length;
    }
    std::string differs_at_end(prefix_length, 'k');
    differs_at_end.back() = 'q';
    EXPECT_FALSE(Matches(prefix, differs_at_end)) << "prefix " << prefix_length;
  }
}

// Every prefix of every length of a few lines, against the plain definition.
TEST(StrokePrefix, AgreesWithStartsWithForEveryCutOfSomeLines) {
  const std::array<std::string, 4> lines = {"abcdefghij=x", "a=\x82\xa0\x82\xa2", "z9", ""};
  const std::string others[] = {"abcdefghij=x\xff", "abcdefghiX", "\xff\xfe\x01"};
  for (const std::string& source : lines) {
    for (std::size_t cut = 0; cut <= source.size(); ++cut) {
      const std::string_view prefix = std::string_view(source).substr(0, cut);
      for (const std::string& line : lines) {
        EXPECT_EQ(Matches(prefix, line), line.starts_with(prefix))
            << "prefix '" << prefix << "', line '" << line << "'";
      }
      for (const std::string& line : others) {
        EXPECT_EQ(Matches(prefix, line), line.starts_with(prefix))
            << "prefix '" << prefix << "', line '" << line << "'";
      }
    }
  }
}

}  // namespace
}  // namespace talvorine::lookup
