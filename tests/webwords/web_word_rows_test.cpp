#include "webwords/web_word_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace talvorine::webwords {
namespace {

struct StrokeCase {
  std::string_view row;
  bool has_stroke;
};

constexpr StrokeCase kStrokeCases[] = {
    {"a=x", true},   {"abc=d=e", true},  // only the first "=" ends the stroke
    {"a=", true},                        // an empty phrase is still a row
    {"あ=い", true},                     // a double-byte stroke
    {"=x", false},                       // nothing before the "="
    {"==", false},   {"abc", false},     // no "=" at all
    {"", false},                         // an empty item
    {"表示", false},                     // the trail byte of "表" is 0x5C, no "=" hides in cp932
};

TEST(WebWordRows, AStrokeIsWhatStandsBeforeTheFirstEquals) {
  for (const StrokeCase& c : kStrokeCases) {
    EXPECT_EQ(HasStroke(c.row), c.has_stroke) << "row \"" << c.row << "\"";
  }
}

TEST(WebWordRows, RowsWithoutStrokeGoAndTheRestKeepOrderAndDuplicates) {
  std::vector<std::string> rows = {"", "b=2", "=x", "a=1", "abc", "b=2", "abc=d=e", "="};
  RemoveRowsWithoutStroke(rows);
  EXPECT_EQ(rows, (std::vector<std::string>{"b=2", "a=1", "b=2", "abc=d=e"}));
}

TEST(WebWordRows, RowsKeepTheirOrderAndBytesAcrossBlocks) {
  // Rows larger and smaller than a block, announced per location like a refresh does; the last
  // one arrives without any announcement at all.
  const std::vector<std::string> first = {"a=1", std::string(WebWordRows::kBlockBytes + 5, 'x'),
                                          "b=" + std::string(300, '\x82'), "c="};
  std::vector<std::string> second;
  for (int i = 0; i < 20000; ++i) {
    second.push_back("k" + std::to_string(i) + "=\x93\xfa\x96\x7b\r\n\"");
  }
  WebWordRows rows;
  std::vector<std::string> all;
  const std::vector<std::string>* locations[] = {&first, &second};
  for (const std::vector<std::string>* location : locations) {
    std::size_t bytes = 0;
    for (const std::string& row : *location) {
      bytes += row.size();
    }
    rows.Expect(location->size(), bytes);
    for (const std::string& row : *location) {
      rows.Append(row);
      all.push_back(row);
    }
  }
  rows.Append("late=1");
  all.push_back("late=1");

  ASSERT_EQ(rows.size(), all.size());
  const std::vector<std::string_view> views = rows.Views();
  EXPECT_EQ(std::vector<std::string>(views.begin(), views.end()), all);
  const lookup::PhraseTable table = MakeWebTable(std::move(rows));
  EXPECT_EQ(table.lines(), all);
}

}  // namespace
}  // namespace talvorine::webwords
