#include "lookup/candidate_list.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace talvorine::lookup {
namespace {

using Lines = std::vector<std::string>;

Lines Listed(const CandidateList& list) {
  Lines lines;
  for (std::size_t i = 0; i < list.size(); ++i) {
    lines.emplace_back(list.line(i));
  }
  return lines;
}

Lines Expected(const Lines& main, const Lines& web, std::string_view prefix) {
  Lines lines;
  for (const Lines* table : {&main, &web}) {
    for (const std::string& line : *table) {
      if (line.starts_with(prefix)) {
        lines.push_back(line);
      }
    }
  }
  return lines;
}

// Tables whose first and last lines match, with empty lines, zero bytes and high bytes.
const Lines kMain = {"ab=1", "",    std::string("\0a=z", 4), "b=2", "abcdefghij=3", "\x82\xa0=4",
                     "a",    "ab=5"};
const Lines kWeb = {"ab=6", "", "abcdefghik=7", "ba=8", "ab"};

TEST(CandidateList, RebuildListsExactlyTheMatchingLinesInTableOrder) {
  const PhraseTable main(kMain);
  const PhraseTable web(kWeb);
  const std::vector<std::string> prefixes = {"",
                                             "a",
                                             "ab",
                                             "abc",
                                             "b",
                                             "\x82",
                                             "z",
                                             "abcdefghij",
                                             "abcdefghijk",
                                             std::string(1, '\0'),
                                             std::string("\0a", 2)};
  for (const std::string& prefix : prefixes) {
    CandidateList list;
    list.Rebuild(main.content(), web.content(), StrokePrefix(prefix));
    EXPECT_EQ(Listed(list), Expected(kMain, kWeb, prefix)) << "prefix '" << prefix << "'";
  }
}

TEST(CandidateList, FilterKeepsTheMatchingLinesOfWhatIsListed) {
  const PhraseTable main(kMain);
  const PhraseTable web(kWeb);
  const std::vector<std::string> prefixes = {"a", "ab", "abc", "abcdefghi", "b", "q"};
  for (const std::string& prefix : prefixes) {
    // From every line listed, and from a list already narrowed to "a".
    CandidateList all;
    all.ListAll(main.content(), web.content());
    all.Filter(StrokePrefix(prefix));
    EXPECT_EQ(Listed(all), Expected(kMain, kWeb, prefix)) << "from all, prefix '" << prefix << "'";

    CandidateList narrowed;
    narrowed.Rebuild(main.content(), web.content(), StrokePrefix("a"));
    narrowed.Filter(StrokePrefix(prefix));
    const std::string both = prefix.starts_with("a") ? prefix : "\x01";
    EXPECT_EQ(Listed(narrowed), Expected(kMain, kWeb, both)) << "from a, prefix '" << prefix << "'";
  }
}

}  // namespace
}  // namespace talvorine::lookup
