#include "lookup/stroke_lookup.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvorine::lookup {
namespace {

constexpr std::uint16_t kVkShift = 0x10;
constexpr std::uint16_t kVkDown = 0x28;
constexpr std::uint16_t kVkNumpad1 = 0x61;

constexpr KeyEvent Key(std::uint16_t virtual_key, bool shift_down = false,
                       bool caps_lock_down = false) {
  return KeyEvent{virtual_key, shift_down, caps_lock_down};
}

// The letter or digit key that types a lower-case stroke character with nothing held.
constexpr KeyEvent StrokeKey(char c) {
  return Key(static_cast<std::uint16_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c));
}

std::vector<std::string> Listed(const StrokeLookup& lookup) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < lookup.candidate_count(); ++i) {
    lines.emplace_back(lookup.candidate(i));
  }
  return lines;
}

// Types each character with its key; returns the outcome of the last key.
KeyOutcome Type(StrokeLookup& lookup, std::string_view strokes, bool auto_confirm = false) {
  KeyOutcome outcome;
  for (const char c : strokes) {
    outcome = lookup.HandleKey(StrokeKey(c), auto_confirm);
  }
  return outcome;
}

using Lines = std::vector<std::string>;

class StrokeLookupTest : public ::testing::Test {
 protected:
  PhraseTable main_{Lines{"ab=A", "ac=B", "b=C"}};
  PhraseTable web_{Lines{"ad=D"}};
  StrokeLookup lookup_;
};

TEST_F(StrokeLookupTest, OpenListsTheMainTableThenTheWebTable) {
  lookup_.Open(main_, web_);
  EXPECT_EQ(Listed(lookup_), (Lines{"ab=A", "ac=B", "b=C", "ad=D"}));
  EXPECT_TRUE(lookup_.stroke_buffer().empty());
  EXPECT_EQ(lookup_.selection_row(), 1u);
}

TEST_F(StrokeLookupTest, EachStrokeNarrowsAndBackspaceToOneCharacterRebuilds) {
  lookup_.Open(main_, web_);
  EXPECT_EQ(Type(lookup_, "a").result, KeyResult::kStayOpen);
  EXPECT_EQ(lookup_.stroke_buffer().text(), "a");
  EXPECT_EQ(Listed(lookup_), (Lines{"ab=A", "ac=B", "ad=D"}));

  EXPECT_EQ(Type(lookup_, "c").result, KeyResult::kStayOpen);
  EXPECT_EQ(lookup_.stroke_buffer().text(), "ac");
  EXPECT_EQ(Listed(lookup_), (Lines{"ac=B"}));

  EXPECT_EQ(lookup_.HandleKey(Key(kVkBack), false).result, KeyResult::kStayOpen);
  EXPECT_EQ(lookup_.stroke_buffer().text(), "a");
  EXPECT_EQ(Listed(lookup_), (Lines{"ab=A", "ac=B", "ad=D"}));
}

TEST_F(StrokeLookupTest, BackspaceThatLeavesTwoCharactersBringsNoLineBack) {
  const PhraseTable main(Lines{"abc=1", "abd=2", "ab=3", "abcd=4"});
  const PhraseTable web(Lines{"abc=5"});
  lookup_.Open(main, web);
  Type(lookup_, "abc");
  ASSERT_EQ(Listed(lookup_), (Lines{"abc=1", "abcd=4", "abc=5"}));
  Type(lookup_, "d");
  ASSERT_EQ(Listed(lookup_), (Lines{"abcd=4"}));

  lookup_.HandleKey(Key(kVkBack), false);
  EXPECT_EQ(lookup_.stroke_buffer().text(), "abc");
  EXPECT_EQ(Listed(lookup_), (Lines{"abcd=4"}));
  lookup_.HandleKey(Key(kVkBack), false);
  EXPECT_EQ(lookup_.stroke_buffer().text(), "ab");
  EXPECT_EQ(Listed(lookup_), (Lines{"abcd=4"}));
  lookup_.HandleKey(Key(kVkBack), false);  // L = 1: a rebuild from both tables
  EXPECT_EQ(Listed(lookup_), (Lines{"abc=1", "abd=2", "ab=3", "abcd=4", "abc=5"}));
}

TEST_F(StrokeLookupTest, EscapeFirstEmptiesTheStrokesThenHides) {
  lookup_.Open(main_, web_);
  Type(lookup_, "ab");
  ASSERT_EQ(Listed(lookup_), (Lines{"ab=A"}));

  EXPECT_EQ(lookup_.HandleKey(Key(kVkEscape), false).result, KeyResult::kStayOpen);
  EXPECT_TRUE(lookup_.stroke_buffer().empty());
  EXPECT_EQ(Listed(lookup_), (Lines{"ab=A", "ac=B", "b=C", "ad=D"}));

  // The hiding Escape leaves list and selection exactly as they were, even with auto-confirm
  // on and a table that has changed meanwhile.
  lookup_.Select(3);
  main_.AppendLine("new=E");
  const KeyOutcome hide = lookup_.HandleKey(Key(kVkEscape), true);
  EXPECT_EQ(hide.result, KeyResult::kHide);
  EXPECT_FALSE(hide.line.has_value());
  EXPECT_EQ(Listed(lookup_), (Lines{"ab=A", "ac=B", "b=C", "ad=D"}));
  EXPECT_EQ(lookup_.selection_row(), 3u);
}

TEST_F(StrokeLookupTest, CaseRuleDecidesWhichLinesMatch) {
  const PhraseTable main(Lines{"ab=lower", "Ab=upper", "`1=grave", "jk=keypad"});
  const PhraseTable web;
  struct Case {
    const char* name;
    KeyEvent key;
    const char* stroke;
    Lines listed;
  };
  const std::array<Case, 6> cases = {{
      {"letter A", StrokeKey('a'), "a", {"ab=lower"}},
      {"letter A with Shift", Key('A', true), "A", {"Ab=upper"}},
      {"letter A with the Caps Lock key held", Key('A', false, true), "A", {"Ab=upper"}},
      {"letter A with Shift and Caps Lock key", Key('A', true, true), "a", {"ab=lower"}},
      {"keypad 1", Key(kVkNumpad1), "a", {"ab=lower"}},
      {"keypad 0", Key(0x60), "`", {"`1=grave"}},
  }};
  for (const Case& c : cases) {
    lookup_.Open(main, web);
    lookup_.HandleKey(c.key, false);
    EXPECT_EQ(lookup_.stroke_buffer().text(), c.stroke) << c.name;
    EXPECT_EQ(Listed(lookup_), c.listed) << c.name;
  }
}

TEST_F(StrokeLookupTest, StrokesLongerThanALineHeadStillCompareEveryByte) {
  const PhraseTable main(Lines{"abcdefghij=1", "abcdefghik=2", "abcdefgh=3", "abcdefghij"});
  lookup_.Open(main, web_);
  Type(lookup_, "abcdefghi");
  EXPECT_EQ(Listed(lookup_), (Lines{"abcdefghij=1", "abcdefghik=2", "abcdefghij"}));
  Type(lookup_, "j");
  EXPECT_EQ(Listed(lookup_), (Lines{"abcdefghij=1", "abcdefghij"}));
  Type(lookup_, "=");  // no key types "=": nothing changes
  Type(lookup_, "1");
  EXPECT_EQ(lookup_.stroke_buffer().text(), "abcdefghij1");
  EXPECT_TRUE(Listed(lookup_).empty());
}

TEST_F(StrokeLookupTest, AnEmptyLineIsListedOnlyWhileNoStrokeIsTyped) {
  const PhraseTable main(Lines{"", "a=1"});
  const PhraseTable web = PhraseTable::OneEmptyRow();
  lookup_.Open(main, web);
  EXPECT_EQ(Listed(lookup_), (Lines{"", "a=1", ""}));
  Type(lookup_, "a");
  EXPECT_EQ(Listed(lookup_), (Lines{"a=1"}));
  lookup_.HandleKey(Key(kVkBack), false);
  EXPECT_EQ(Listed(lookup_), (Lines{"", "a=1", ""}));
}

// A rebuild reads both tables as they stand at that key, while lines already listed stay what
// they were when listed.
TEST_F(StrokeLookupTest, ListedLinesSurviveTableChangesUntilTheNextRebuild) {
  lookup_.Open(main_, web_);
  Type(lookup_, "a");
  main_.SetLine(0, "ab=edited");
  main_.AppendLine("ae=new");
  web_ = PhraseTable(Lines{"af=refreshed"});
  EXPECT_EQ(Listed(lookup_), (Lines{"ab=A", "ac=B", "ad=D"}));

  Type(lookup_, "e");  // a filter adds nothing, not even a new matching line
  EXPECT_TRUE(Listed(lookup_).empty());

  lookup_.HandleKey(Key(kVkBack), false);
  EXPECT_EQ(Listed(lookup_), (Lines{"ab=edited", "ac=B", "ae=new", "af=refreshed"}));

  // Any key rebuilds while at most one stroke is typed, even one that changes no stroke.
  main_.EraseLine(1);
  lookup_.HandleKey(Key(kVkDown), false);
  EXPECT_EQ(lookup_.stroke_buffer().text(), "a");
  EXPECT_EQ(Listed(lookup_), (Lines{"ab=edited", "ae=new", "af=refreshed"}));
}

TEST_F(StrokeLookupTest, BackspaceOnNoStrokesRebuildsTheWholeList) {
  lookup_.Open(main_, web_);
  web_ = PhraseTable(Lines{"x=refreshed", "y=too"});
  const KeyOutcome outcome = lookup_.HandleKey(Key(kVkBack), false);
  EXPECT_EQ(outcome.result, KeyResult::kStayOpen);
  EXPECT_TRUE(lookup_.stroke_buffer().empty());
  EXPECT_EQ(Listed(lookup_), (Lines{"ab=A", "ac=B", "b=C", "x=refreshed", "y=too"}));
}

// The selection row is a position: after a filter it moves up only as far as the list has
// shrunk; after a rebuild that leaves too few rows it goes back to the first.
TEST(StrokeLookupSelection, FollowsTheNarrowingRules) {
  const PhraseTable ten(
      Lines{"xa=1", "xb=2", "xa=3", "xb=4", "xb=5", "xa=6", "xb=7", "xb=8", "xb=9", "xb=10"});
  const PhraseTable three_y(
      Lines{"y=1", "z=2", "y=3", "z=4", "z=5", "y=6", "z=7", "z=8", "z=9", "z=10"});
  const PhraseTable empty_web;
  struct Case {
    const char* name;
    const PhraseTable* main;
    const char* before;  // typed before the selection is set
    std::size_t row;
    const char* then;
    std::size_t count;
    std::size_t expected_row;
  };
  const std::array<Case, 7> cases = {{
      {"filter to three from row 8", &ten, "x", 8, "a", 3, 3},
      {"filter to three from row 2", &ten, "x", 2, "a", 3, 2},
      {"filter to seven from row 8", &ten, "x", 8, "b", 7, 7},
      {"filter to nothing", &ten, "x", 8, "q", 0, 1},
      {"rebuild to three from row 8", &three_y, "", 8, "y", 3, 1},
      {"rebuild to three from row 3", &three_y, "", 3, "y", 3, 3},
      {"rebuild to nothing from row 4", &three_y, "", 4, "q", 0, 1},
  }};
  for (const Case& c : cases) {
    StrokeLookup lookup;
    lookup.Open(*c.main, empty_web);
    Type(lookup, c.before);
    lookup.Select(c.row);
    ASSERT_EQ(lookup.selection_row(), c.row) << c.name;
    Type(lookup, c.then);
    EXPECT_EQ(lookup.candidate_count(), c.count) << c.name;
    EXPECT_EQ(lookup.selection_row(), c.expected_row) << c.name;
  }
}

TEST(StrokeLookupSelection, SelectKeepsTheRowWithinTheRows) {
  const PhraseTable main(Lines{"a=1", "b=2", "c=3", "d=4"});
  const PhraseTable web;
  StrokeLookup lookup;
  lookup.Open(main, web);
  lookup.Select(0);
  EXPECT_EQ(lookup.selection_row(), 1u);
  lookup.Select(4);
  EXPECT_EQ(lookup.selection_row(), 4u);
  lookup.Select(100);
  EXPECT_EQ(lookup.selection_row(), 4u);
  Type(lookup, "q");
  ASSERT_EQ(lookup.candidate_count(), 0u);
  lookup.Select(2);  // an empty list still has its one empty row
  EXPECT_EQ(lookup.selection_row(), 1u);
}

// The row carries over to the next opening, capped by the main table alone: the web lines
// appended behind it do not count.
TEST(StrokeLookupSelection, OpenCapsTheRowAtTheMainTable) {
  const PhraseTable ten(Lines(10, "a=1"));
  const PhraseTable two(Lines{"a=1", "b=2"});
  const PhraseTable five_web(Lines(5, "w=1"));
  const PhraseTable none;
  struct Case {
    const char* name;
    const PhraseTable* main;
    std::size_t expected_row;
  };
  const std::array<Case, 3> cases = {{
      {"main table long enough", &ten, 7},
      {"main table of two lines", &two, 2},
      {"empty main table", &none, 1},
  }};
  for (const Case& c : cases) {
    StrokeLookup lookup;
    lookup.Open(ten, five_web);
    lookup.Select(7);
    lookup.Open(*c.main, five_web);
    EXPECT_EQ(lookup.selection_row(), c.expected_row) << c.name;
    EXPECT_EQ(lookup.candidate_count(), c.main->size() + 5) << c.name;
  }
}

TEST_F(StrokeLookupTest, EnterConfirmsTheLineAtTheSelectionRow) {
  lookup_.Open(main_, web_);
  lookup_.Select(4);
  const KeyOutcome all = lookup_.HandleKey(Key(kVkReturn), false);
  EXPECT_EQ(all.result, KeyResult::kConfirm);
  EXPECT_EQ(all.line, std::optional<std::string>("ad=D"));

  Type(lookup_, "a");  // rebuild to three rows: row 4 is gone, so row 1
  lookup_.Select(2);
  const KeyOutcome narrowed = lookup_.HandleKey(Key(kVkReturn), false);
  EXPECT_EQ(narrowed.result, KeyResult::kConfirm);
  EXPECT_EQ(narrowed.line, std::optional<std::string>("ac=B"));

  Type(lookup_, "z");
  const KeyOutcome nothing = lookup_.HandleKey(Key(kVkReturn), false);
  EXPECT_EQ(nothing.result, KeyResult::kConfirm);
  EXPECT_FALSE(nothing.line.has_value());
}

TEST_F(StrokeLookupTest, AutoConfirmTakesTheOneLineLeft) {
  lookup_.Open(main_, web_);
  EXPECT_EQ(Type(lookup_, "a", true).result, KeyResult::kStayOpen);
  const KeyOutcome off = Type(lookup_, "b", false);
  EXPECT_EQ(off.result, KeyResult::kStayOpen);

  lookup_.Open(main_, web_);
  Type(lookup_, "a", true);
  const KeyOutcome on = Type(lookup_, "b", true);
  EXPECT_EQ(on.result, KeyResult::kConfirm);
  EXPECT_EQ(on.line, std::optional<std::string>("ab=A"));
}

// With exactly one line listed by Open, the first key of any kind confirms it; a stroke that
// matches nothing leaves nothing to confirm.
TEST(StrokeLookupAutoConfirm, AnyKeyConfirmsASingleLineListedByOpen) {
  const PhraseTable one(Lines{"only=1"});
  const PhraseTable empty_web;
  struct Case {
    const char* name;
    KeyEvent key;
    KeyResult result;
    std::optional<std::string> line;
  };
  const std::array<Case, 5> cases = {{
      {"arrow key", Key(kVkDown), KeyResult::kConfirm, "only=1"},
      {"Shift alone", Key(kVkShift, true), KeyResult::kConfirm, "only=1"},
      {"Backspace", Key(kVkBack), KeyResult::kConfirm, "only=1"},
      {"matching stroke", StrokeKey('o'), KeyResult::kConfirm, "only=1"},
      {"stroke that matches nothing", StrokeKey('z'), KeyResult::kStayOpen, std::nullopt},
  }};
  for (const Case& c : cases) {
    StrokeLookup lookup;
    lookup.Open(one, empty_web);
    const KeyOutcome outcome = lookup.HandleKey(c.key, true);
    EXPECT_EQ(outcome.result, c.result) << c.name;
    EXPECT_EQ(outcome.line, c.line) << c.name;
  }

  // The web table's starting empty row is a line too: two lines, nothing confirms.
  StrokeLookup lookup;
  const PhraseTable web_at_start = PhraseTable::OneEmptyRow();
  lookup.Open(one, web_at_start);
  EXPECT_EQ(lookup.HandleKey(Key(kVkDown), true).result, KeyResult::kStayOpen);
}

TEST(StrokeLookupLifecycle, StartsEmptyAndHandlesKeysBeforeTheFirstOpen) {
  StrokeLookup lookup;
  EXPECT_EQ(lookup.candidate_count(), 0u);
  EXPECT_EQ(lookup.selection_row(), 1u);
  EXPECT_EQ(Type(lookup, "ab").result, KeyResult::kStayOpen);
  EXPECT_EQ(lookup.stroke_buffer().text(), "ab");
  const KeyOutcome enter = lookup.HandleKey(Key(kVkReturn), false);
  EXPECT_EQ(enter.result, KeyResult::kConfirm);
  EXPECT_FALSE(enter.line.has_value());
}

}  // namespace
}  // namespace talvorine::lookup
