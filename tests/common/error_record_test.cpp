#include "common/error_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace talvorine {
namespace {

struct LineCase {
  const char* name;
  const char* text;
  std::vector<std::string> lines;
};

TEST(MemoryErrorRecord, ATextWithLineBreaksBecomesSeveralLines) {
  const LineCase cases[] = {
      {"plain", "abc", {"abc"}},
      {"CR LF", "a\r\nb", {"a", "b"}},
      {"lone LF and lone CR", "a\nb\rc", {"a", "b", "c"}},
      {"empty text", "", {""}},
      {"break at the end", "a\r\n", {"a"}},
      {"empty line inside", "a\r\n\r\nb", {"a", "", "b"}},
  };
  for (const LineCase& c : cases) {
    MemoryErrorRecord record;
    record.AddLine(c.text);
    EXPECT_EQ(std::vector<std::string>(record.lines().begin(), record.lines().end()), c.lines)
        << c.name;
  }
}

TEST(MemoryErrorRecord, KeepsTheLastLinesOnlyUpToItsCap) {
  MemoryErrorRecord record;
  for (int i = 0; i < 20005; ++i) {
    record.AddLine("line " + std::to_string(i));
  }
  ASSERT_EQ(record.lines().size(), 20000u);
  EXPECT_EQ(record.lines().front(), "line 5");
  EXPECT_EQ(record.lines().back(), "line 20004");
}

TEST(MemoryErrorRecord, KeepsItsFirstLinesWhenOlderLinesGo) {
  MemoryErrorRecord record(5, kErrorRecordHeadLines);
  record.AddLine(kErrorRecordTitle);
  record.AddLine("Talvorine v1.32　");
  for (int i = 0; i < 100; ++i) {
    record.AddLine("CB:" + std::to_string(i));
  }
  EXPECT_EQ(std::vector<std::string>(record.lines().begin(), record.lines().end()),
            (std::vector<std::string>{std::string(kErrorRecordTitle), "Talvorine v1.32　", "CB:97",
                                      "CB:98", "CB:99"}));
}

}  // namespace
}  // namespace talvorine
