#include "files/text_lines.h"

#include <gtest/gtest.h>

#include <string>

namespace talvorine::files {
namespace {

std::size_t NaiveLineEnd(const std::string& text, std::size_t from) {
  const std::size_t found = text.find_first_of("\r\n", from);
  return found == std::string::npos ? text.size() : found;
}

// The search goes 16 bytes at a time: a line end at every position of a block, at the start
// and the end of the text, and none at all, from every starting point.
TEST(FindLineEnd, FindsTheFirstCrOrLfFromEveryStart) {
  std::string text(70, 'a');
  text[0] = '\r';
  text[15] = '\n';
  text[16] = '\n';
  text[33] = '\r';
  text[47] = '\xff';
  text[69] = '\n';
  for (const std::string& subject : {text, std::string(50, '\x8a'), std::string()}) {
    for (std::size_t from = 0; from <= subject.size(); ++from) {
      EXPECT_EQ(FindLineEnd(subject, from), NaiveLineEnd(subject, from))
          << "from " << from << " in a text of " << subject.size();
    }
  }
  // A NUL byte ends a line only when the caller says it ends the text.
  std::string with_nul(40, 'a');
  with_nul[20] = '\0';
  with_nul[37] = '\n';
  EXPECT_EQ(FindLineEnd(with_nul, 3), 37u);
  EXPECT_EQ(FindLineEnd(with_nul, 3, NulByte::kEndsText), 20u);
  EXPECT_EQ(FindLineEnd(with_nul, 21, NulByte::kEndsText), 37u);
  EXPECT_EQ(FindLineEnd(std::string("ab\0", 3), 0, NulByte::kEndsText), 2u);

  // Bytes next to CR and LF in value are no line ends.
  EXPECT_EQ(FindLineEnd(std::string(40, '\x0b') + "\x0c\x0e\x09\x8d\x8a", 0), 45u);
}

}  // namespace
}  // namespace talvorine::files
