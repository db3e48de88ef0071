#include "lookup/phrase_table.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace talvorine::lookup {
namespace {

// The lines of the table, checked against its line heads and first bytes on the way.
std::vector<std::string> LinesOf(const PhraseTable& table) {
  const std::shared_ptr<const TableLines> content = table.content();
  EXPECT_EQ(content->heads.size(), content->lines.size());
  EXPECT_EQ(content->first_bytes.size(), content->lines.size());
  for (std::size_t i = 0; i < content->lines.size(); ++i) {
    const std::string& line = content->lines[i];
    if (i < content->heads.size()) {
      EXPECT_EQ(content->heads[i], MakeLineHead(line)) << "head of line " << i;
    }
    if (i < content->first_bytes.size()) {
      EXPECT_EQ(content->first_bytes[i], line.empty() ? '\0' : line[0]) << "first byte of " << i;
    }
  }
  return content->lines;
}

TEST(PhraseTable, EveryEditKeepsLinesAndHeadsInStep) {
  PhraseTable table(std::vector<std::string>{"ab=A", "", "no equals"});
  std::vector<std::string> expected = {"ab=A", "", "no equals"};
  ASSERT_EQ(LinesOf(table), expected);

  struct Edit {
    const char* name;
    std::function<void(PhraseTable&)> on_table;
    std::function<void(std::vector<std::string>&)> on_expected;
  };
  const std::vector<Edit> edits = {
      {"set", [](PhraseTable& t) { t.SetLine(1, "cd=C"); },
       [](std::vector<std::string>& e) { e[1] = "cd=C"; }},
      {"insert at the front", [](PhraseTable& t) { t.InsertLine(0, "longstroke=x"); },
       [](std::vector<std::string>& e) { e.insert(e.begin(), "longstroke=x"); }},
      {"insert at the end", [](PhraseTable& t) { t.InsertLine(4, "\x82\xa0=y"); },
       [](std::vector<std::string>& e) { e.push_back("\x82\xa0=y"); }},
      {"erase", [](PhraseTable& t) { t.EraseLine(1); },
       [](std::vector<std::string>& e) { e.erase(e.begin() + 1); }},
      {"append a duplicate", [](PhraseTable& t) { t.AppendLine("cd=C"); },
       [](std::vector<std::string>& e) { e.push_back("cd=C"); }},
      {"set to empty", [](PhraseTable& t) { t.SetLine(0, ""); },
       [](std::vector<std::string>& e) { e[0] = ""; }},
  };
  for (const Edit& edit : edits) {
    edit.on_table(table);
    edit.on_expected(expected);
    EXPECT_EQ(LinesOf(table), expected) << "after " << edit.name;
    EXPECT_EQ(table.size(), expected.size()) << "after " << edit.name;
  }
}

TEST(PhraseTable, SnapshotsAndCopiesNeverChangeUnderAnEdit) {
  PhraseTable table(std::vector<std::string>{"a=1", "b=2"});
  const auto snapshot = table.snapshot();
  const auto content = table.content();
  PhraseTable copy = table;

  table.SetLine(0, "a=changed");
  table.AppendLine("c=3");
  EXPECT_EQ(*snapshot, (std::vector<std::string>{"a=1", "b=2"}));
  EXPECT_EQ(content->lines, (std::vector<std::string>{"a=1", "b=2"}));
  EXPECT_EQ(content->heads[0], MakeLineHead("a=1"));
  EXPECT_EQ(LinesOf(copy), (std::vector<std::string>{"a=1", "b=2"}));
  EXPECT_EQ(LinesOf(table), (std::vector<std::string>{"a=changed", "b=2", "c=3"}));

  // And the other way round: the copy's edits leave the original alone.
  copy.EraseLine(0);
  EXPECT_EQ(LinesOf(copy), (std::vector<std::string>{"b=2"}));
  EXPECT_EQ(LinesOf(table), (std::vector<std::string>{"a=changed", "b=2", "c=3"}));

  // A snapshot of the edited table shows the edits.
  EXPECT_EQ(*table.snapshot(), table.lines());
}

TEST(PhraseTable, AMovedFromTableKeepsItsLinesAndStaysUsable) {
  PhraseTable source(std::vector<std::string>{"a=1"});
  PhraseTable target = std::move(source);
  EXPECT_EQ(LinesOf(target), (std::vector<std::string>{"a=1"}));
  EXPECT_EQ(LinesOf(source), (std::vector<std::string>{"a=1"}));  // NOLINT(bugprone-use-after-move)
  source.AppendLine("b=2");
  EXPECT_EQ(LinesOf(target), (std::vector<std::string>{"a=1"}));
  EXPECT_EQ(LinesOf(source), (std::vector<std::string>{"a=1", "b=2"}));
}

TEST(PhraseTable, StartsEmptyOrWithOneEmptyRow) {
  EXPECT_TRUE(PhraseTable().empty());
  EXPECT_EQ(LinesOf(PhraseTable()), std::vector<std::string>{});
  const PhraseTable one_row = PhraseTable::OneEmptyRow();
  EXPECT_EQ(LinesOf(one_row), std::vector<std::string>{""});
  EXPECT_EQ(one_row.line(0), "");
}

}  // namespace
}  // namespace talvorine::lookup
