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

}  // namespace
}  // namespace talvorine::webwords
