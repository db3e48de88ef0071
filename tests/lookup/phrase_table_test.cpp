#include "lookup/phrase_table.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace talvorine::lookup {
namespace {

// The lines of the table, checked on the way against the arrays beside them: every chunk
// holds lines, no more than it may, with a head and a first byte per line, and the chunk
// starts count them.
std::vector<std::string> LinesOf(const PhraseTable& table) {
  const std::shared_ptr<const TableLines> content = table.content();
  std::vector<std::string> lines;
  EXPECT_EQ(content->chunk_starts.size(), content->chunks.size() + 1);
  for (std::size_t c = 0; c < content->chunks.size(); ++c) {
    const LineChunk& chunk = *content->chunks[c];
    EXPECT_GT(chunk.size(), 0u) << "chunk " << c;
    EXPECT_LE(chunk.size(), kChunkLines) << "chunk " << c;
    EXPECT_EQ(chunk.starts.size(), chunk.size() + 1) << "chunk " << c;
    EXPECT_EQ(chunk.first_bytes.size(), chunk.size()) << "chunk " << c;
    EXPECT_EQ(content->chunk_starts[c], lines.size()) << "start of chunk " << c;
    for (std::size_t row = 0; row < chunk.size() && row + 1 < chunk.starts.size(); ++row) {
      const std::string_view line = chunk.line(row);
      EXPECT_EQ(chunk.heads[row], MakeLineHead(line)) << "head of line " << lines.size();
      if (row < chunk.first_bytes.size()) {
        EXPECT_EQ(chunk.first_bytes[row], line.empty() ? '\0' : line[0])
            << "first byte of " << lines.size();
      }
      lines.emplace_back(line);
    }
  }
  EXPECT_EQ(table.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(table.line(i), lines[i]) << "line " << i << " by index";
  }
  return lines;
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
  const auto content = table.content();
  PhraseTable copy = table;

  table.SetLine(0, "a=changed");
  table.AppendLine("c=3");
  EXPECT_EQ(content->size(), 2u);
  EXPECT_EQ(content->line(0), "a=1");
  EXPECT_EQ(content->line(1), "b=2");
  EXPECT_EQ(content->chunks[0]->heads[0], MakeLineHead("a=1"));
  EXPECT_EQ(LinesOf(copy), (std::vector<std::string>{"a=1", "b=2"}));
  EXPECT_EQ(LinesOf(table), (std::vector<std::string>{"a=changed", "b=2", "c=3"}));

  // And the other way round: the copy's edits leave the original alone.
  copy.EraseLine(0);
  EXPECT_EQ(LinesOf(copy), (std::vector<std::string>{"b=2"}));
  EXPECT_EQ(LinesOf(table), (std::vector<std::string>{"a=changed", "b=2", "c=3"}));

  // A snapshot of the edited table shows the edits.
  EXPECT_EQ(table.content()->line(0), "a=changed");
  EXPECT_EQ(table.content()->size(), 3u);
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

// Lines of a few hundred thousand lines' worth of chunks: numbered, so a misplaced line shows.
std::vector<std::string> NumberedLines(std::size_t count) {
  std::vector<std::string> lines;
  lines.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    lines.push_back("k" + std::to_string(i) + "=phrase " + std::to_string(i));
  }
  return lines;
}

// Edits at chunk edges, in the middle and at both ends of a table of several chunks, against a
// plain vector, each checked in full; snapshots taken between edits keep what they saw.
TEST(PhraseTable, EditsOfATableOfManyChunksMatchAPlainList) {
  std::vector<std::string> expected = NumberedLines(3 * kChunkLines + 17);
  PhraseTable table(expected);
  ASSERT_EQ(table.content()->chunks.size(), 4u);

  struct Edit {
    const char* name;
    std::function<void(PhraseTable&)> on_table;
    std::function<void(std::vector<std::string>&)> on_expected;
  };
  const std::string long_line(kChunkBytes + 5, 'x');
  const std::vector<Edit> edits = {
      {"set the last line of the first chunk",
       [](PhraseTable& t) { t.SetLine(kChunkLines - 1, "edge=1"); },
       [](auto& e) { e[kChunkLines - 1] = "edge=1"; }},
      {"insert at the first line of the second chunk",
       [](PhraseTable& t) { t.InsertLine(kChunkLines, "edge=2"); },
       [](auto& e) { e.insert(e.begin() + kChunkLines, "edge=2"); }},
      {"erase the first line", [](PhraseTable& t) { t.EraseLine(0); },
       [](auto& e) { e.erase(e.begin()); }},
      {"insert a line longer than a chunk's bytes",
       [&long_line](PhraseTable& t) { t.InsertLine(100, long_line); },
       [&long_line](auto& e) { e.insert(e.begin() + 100, long_line); }},
      {"append", [](PhraseTable& t) { t.AppendLine("end=1"); },
       [](auto& e) { e.push_back("end=1"); }},
      {"insert before the last line",
       [](PhraseTable& t) { t.InsertLine(t.size() - 1, "before=end"); },
       [](auto& e) { e.insert(e.end() - 1, "before=end"); }},
      {"append a copy of a line of the table itself",
       [](PhraseTable& t) { t.AppendLine(t.line(t.size() - 1)); },
       [](auto& e) { e.push_back(e.back()); }},
  };
  for (const Edit& edit : edits) {
    const PhraseTable before = table;
    const std::vector<std::string> expected_before = expected;
    edit.on_table(table);
    edit.on_expected(expected);
    EXPECT_EQ(LinesOf(table), expected) << "after " << edit.name;
    EXPECT_EQ(LinesOf(before), expected_before) << "the copy taken before " << edit.name;
  }

  // Rows inserted one by one at one place split their chunk in halves, not into one-line
  // chunks; erasing a whole chunk's lines leaves no empty chunk behind.
  for (int i = 0; i < 3000; ++i) {
    table.InsertLine(5, "again=" + std::to_string(i));
    expected.insert(expected.begin() + 5, "again=" + std::to_string(i));
  }
  EXPECT_LE(table.content()->chunks.size(), 8u);
  for (std::size_t i = 0; i < kChunkLines + 10; ++i) {
    table.EraseLine(kChunkLines);
    expected.erase(expected.begin() + kChunkLines);
  }
  EXPECT_EQ(LinesOf(table), expected);
  while (!table.empty()) {
    table.EraseLine(table.size() / 2);
  }
  EXPECT_TRUE(table.content()->chunks.empty());
  table.InsertLine(0, "again=from nothing");
  EXPECT_EQ(LinesOf(table), std::vector<std::string>{"again=from nothing"});
}

// An edit of a large table that a lookup holds rebuilds only the chunk it touches: every other
// chunk stays the very same object, shared with the snapshot.
TEST(PhraseTable, AnEditOfASharedTableRebuildsOnlyTheChunkItTouches) {
  PhraseTable table(NumberedLines(20 * kChunkLines));
  const std::shared_ptr<const TableLines> held = table.content();
  const std::size_t middle = 10 * kChunkLines + 7;
  table.SetLine(middle, "k=edited");
  const std::shared_ptr<const TableLines> now = table.content();
  ASSERT_NE(now, held);
  ASSERT_EQ(now->chunks.size(), held->chunks.size());
  std::size_t rebuilt = 0;
  for (std::size_t c = 0; c < now->chunks.size(); ++c) {
    rebuilt += now->chunks[c] != held->chunks[c] ? 1 : 0;
  }
  EXPECT_EQ(rebuilt, 1u);
  EXPECT_EQ(held->line(middle), "k" + std::to_string(middle) + "=phrase " + std::to_string(middle));
  EXPECT_EQ(now->line(middle), "k=edited");
}

// Appending line by line to a table no one else holds grows its last chunk in place, so a
// table built that way ends in full chunks, like a loaded one.
TEST(PhraseTable, AppendingLineByLineFillsWholeChunks) {
  PhraseTable table;
  const std::vector<std::string> lines = NumberedLines(2 * kChunkLines + 1);
  for (const std::string& line : lines) {
    table.AppendLine(line);
  }
  EXPECT_EQ(LinesOf(table), lines);
  EXPECT_EQ(table.content()->chunks.size(), 3u);
}

// A builder takes lines laid back to back in its buffer; the bytes behind the last line added
// may still change (a loader moves lines down over the line ends it drops).
TEST(PhraseTableBuilder, MakesATableOfTheLinesWithoutCopyingThem) {
  PhraseTableBuilder builder("ab=1cd=2??");
  const char* buffer = builder.data();
  builder.AddLine(4);
  builder.data()[8] = 'e';  // behind the last line added
  builder.AddLine(8);
  builder.AddLine(8);  // an empty line
  const PhraseTable table = builder.Finish();
  EXPECT_EQ(LinesOf(table), (std::vector<std::string>{"ab=1", "cd=2", ""}));
  EXPECT_EQ(table.content()->chunks[0]->text, buffer);
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
