#include "desktop/candidate_window.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "desktop/fake_candidate_view.h"
#include "lookup/japanese_regional_format.h"
#include "support/fake_desktop.h"
#include "support/fake_timers.h"
#include "support/manual_clock.h"

namespace talvorine::desktop {

void PrintTo(const Point& point, std::ostream* out) {
  *out << "(" << point.x << ", " << point.y << ")";
}
void PrintTo(const ListCell& cell, std::ostream* out) {
  *out << "row " << cell.row << " column " << cell.column;
}

namespace {

using testing::FakeDesktop;
using testing::FakeTimers;

constexpr WindowHandle kTargetFrame = 100;
constexpr WindowHandle kTargetEdit = 101;
constexpr std::uint32_t kTargetThread = 7;
constexpr std::uint16_t kVkDown = 0x28;
constexpr std::uint16_t kVkLeft = 0x25;

class CandidateWindowTest : public ::testing::Test {
 protected:
  CandidateWindowTest() {
    desktop.AddWindow(kTargetFrame, {kTargetThread, kTargetEdit, false, {0, 0}});
    desktop.AddWindow(kTargetEdit, {kTargetThread, 0, false, {0, 0}});
    desktop.foreground_window = kTargetFrame;
    desktop.caret_window = kTargetEdit;
    desktop.caret_pos = {300, 160};
    view.monitor_dpi_at = [this](Point point) { return desktop.MonitorAt(point).dpi; };
    view.on_deactivate = [this] { form.FormDeactivate(); };
    timers.on_tick = [this](TimerId id) {
      if (id == TimerId::kForm2Timer1) {
        form.Timer1Timer();
      } else if (id == TimerId::kForm2Timer2) {
        form.Timer2Timer();
      }
    };
  }

  // Presses the keys of stroke letters and digits ("ac" presses A, then C).
  void Type(std::string_view strokes) {
    for (const char c : strokes) {
      const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
      form.ValueListEditor1KeyDown(static_cast<std::uint16_t>(upper));
    }
  }

  std::vector<std::string> Candidates() const {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < form.lookup().candidate_count(); ++i) {
      lines.emplace_back(form.lookup().candidate(i));
    }
    return lines;
  }

  // Opens the window and starts a fresh log.
  void Open() {
    form.PlaceAtCaret();
    desktop.log.clear();
  }

  FakeTimers timers;
  FakeDesktop desktop{&timers};
  files::Settings settings;
  lookup::PhraseTable main_table{std::vector<std::string>{"ab=A", "ac=B", "b=C"}};
  lookup::PhraseTable web_table{std::vector<std::string>{"ad=D"}};
  testing::ManualClock clock{{2026, 5, 1, 9, 5, 5}};
  lookup::JapaneseRegionalFormat regional_format;
  FakeCandidateView view{desktop.log};
  RecordingInserter inserter{desktop.log};
  TForm2 form{{desktop, timers, inserter, settings, main_table, web_table, clock, regional_format},
              view};
};

TEST_F(CandidateWindowTest, PlaceAtCaretRunsItsStepsInOrder) {
  form.PlaceAtCaret();
  const std::vector<std::string> expected = {
      "HideMainWindow",
      "Sleep 100",
      "AttachThreadInput 1 7 attach",
      "ForegroundLockTimeout",
      "SetForegroundLockTimeout 0",
      "SetForegroundWindow 101",
      "SetForegroundLockTimeout 200000",
      "ReadCaret 0",  // the system caret, read while attached
      "ClientToScreen 101",
      "Place 300 200 116x225",
      "AttachThreadInput 1 7 detach",
      "BringApplicationToFront",
      // FormShow, since the window was hidden
      "ShowWindow",
      "BringApplicationToFront",
      "SwitchImeOff",
  };
  EXPECT_EQ(desktop.log, expected);
  EXPECT_TRUE(desktop.attached_threads.empty());
  EXPECT_EQ(desktop.foreground_lock_timeout, 200000u);
  EXPECT_TRUE(view.visible);
}

struct PlacementCase {
  const char* name;
  Point target_client_origin;
  Point caret;
  Size window;
  Point expected;
};

// On one 1024 x 768 monitor at 96 DPI without a taskbar, as the window was first made for.
constexpr PlacementCase kPlacementCases[] = {
    {"target at the screen origin", {0, 0}, {300, 160}, {116, 225}, {300, 200}},
    {"target elsewhere on the screen", {50, 80}, {10, 20}, {116, 225}, {60, 140}},
    {"caret at the right edge", {900, 0}, {30, 0}, {116, 225}, {908, 40}},
    {"no room below: above the caret line", {0, 500}, {20, 100}, {116, 225}, {20, 375}},
    {"room neither below nor above", {0, 0}, {20, 150}, {116, 700}, {20, 68}},
    {"a larger window from the settings", {0, 0}, {300, 100}, {300, 600}, {300, 140}},
};

TEST_F(CandidateWindowTest, TheWindowGoesFortyPixelsBelowTheCaretOrAboveItsLine) {
  for (const auto& c : kPlacementCases) {
    desktop.windows[kTargetEdit].client_origin = c.target_client_origin;
    desktop.caret_pos = c.caret;
    settings.Form2Width = c.window.width;
    settings.Form2Height = c.window.height;
    form.ApplySettingsSize();
    form.PlaceAtCaret();
    EXPECT_EQ(view.position, c.expected) << c.name;
    EXPECT_EQ(view.size, c.window) << c.name;
    form.Hide();
  }
}

TEST_F(CandidateWindowTest, WithoutACaretOrAChildWindowTheWindowOpensAtTheMousePointer) {
  // The program in front has no child window: there is no thread to attach to and no system
  // caret to read; nothing else knows of a caret either.
  desktop.windows[kTargetFrame].first_child = 0;
  desktop.mouse_pos = {600, 300};
  form.PlaceAtCaret();
  EXPECT_EQ(view.position, (Point{600, 340}));
  EXPECT_TRUE(view.visible);
  EXPECT_EQ(desktop.foreground_lock_timeout, 200000u);

  form.Hide();
  desktop.foreground_window = 0;  // nothing in front at all
  form.PlaceAtCaret();
  EXPECT_EQ(view.position, (Point{600, 340}));
  EXPECT_TRUE(view.visible);
}

// A laptop at 150 % with the taskbar at its bottom, a projector at 100 % to its left (negative
// x) and another monitor at 200 % to its right; the target is a program that is not
// per-monitor aware, so its caret is in 96-DPI units of its client area.
TEST_F(CandidateWindowTest, TheWindowOpensSizedAndPlacedForTheMonitorOfTheCaret) {
  desktop.monitors = {
      {{0, 0, 1920, 1080}, {0, 0, 1920, 1032}, 144},
      {{-1024, 0, 0, 768}, {-1024, 0, 0, 768}, 96},
      {{1920, 0, 3840, 2160}, {1920, 0, 3840, 2160}, 192},
  };
  desktop.windows[kTargetEdit].dpi = 96;
  struct Case {
    const char* name;
    Point client_origin;
    Point caret;
    Point expected_position;
    Size expected_size;
  };
  const Case cases[] = {
      // 300 x 160 at 96 DPI is 450 x 240 on the laptop; 40 below at 150 % is 60.
      {"laptop", {100, 100}, {300, 160}, {550, 400}, {174, 338}},
      {"laptop, caret near the taskbar: above the line",
       {0, 600},
       {10, 200},
       {15, 562},
       {174, 338}},
      {"laptop, caret at its right edge: not pulled onto the next monitor",
       {1800, 0},
       {70, 0},
       {1746, 60},
       {174, 338}},
      {"projector to the left", {-1000, 100}, {20, 30}, {-980, 170}, {116, 225}},
      {"projector, caret at its left edge", {-1024, 0}, {-5, 0}, {-1024, 40}, {116, 225}},
      {"projector, caret at its right edge", {-200, 0}, {150, 0}, {-116, 40}, {116, 225}},
      {"200 % monitor to the right", {2000, 0}, {100, 100}, {2200, 280}, {232, 450}},
  };
  for (const auto& c : cases) {
    desktop.windows[kTargetEdit].client_origin = c.client_origin;
    desktop.caret_pos = c.caret;
    form.PlaceAtCaret();
    EXPECT_EQ(view.position, c.expected_position) << c.name;
    EXPECT_EQ(view.size, c.expected_size) << c.name;
    form.Hide();
  }
}

TEST_F(CandidateWindowTest, ShowingFillsTheListFromBothTablesAndAwaitsInput) {
  form.PlaceAtCaret();
  EXPECT_EQ(Candidates(), (std::vector<std::string>{"ab=A", "ac=B", "b=C", "ad=D"}));
  EXPECT_TRUE(form.AwaitingInput());
  EXPECT_TRUE(timers.IsRunning(TimerId::kForm2Timer1));
  EXPECT_GT(view.refreshes, 0);
}

TEST_F(CandidateWindowTest, StrokesNarrowAndEnterInsertsThePhraseAfterHiding) {
  Open();
  Type("a");
  EXPECT_EQ(Candidates(), (std::vector<std::string>{"ab=A", "ac=B", "ad=D"}));
  Type("c");
  EXPECT_EQ(Candidates(), std::vector<std::string>{"ac=B"});
  EXPECT_TRUE(view.visible);
  form.ValueListEditor1KeyDown(kVkReturn);
  EXPECT_EQ(desktop.log, (std::vector<std::string>{"Hide", "InsertText B after hiding"}));
  EXPECT_FALSE(form.AwaitingInput());
  EXPECT_FALSE(view.visible);
}

TEST_F(CandidateWindowTest, ShiftAndCapsLockAreReadAtTheKey) {
  main_table = lookup::PhraseTable(std::vector<std::string>{"A=大", "a=小"});
  web_table = lookup::PhraseTable();
  Open();
  desktop.HoldKey(kVkShift);
  Type("a");
  EXPECT_EQ(form.lookup().stroke_buffer().text(), "A");
  desktop.HoldKey(kVkCapital);  // Shift and the Caps Lock key both held: lower case
  Type("a");
  EXPECT_EQ(form.lookup().stroke_buffer().text(), "Aa");
}

TEST_F(CandidateWindowTest, EscClearsTheStrokesThenHidesWithoutInserting) {
  Open();
  Type("ab");
  form.ValueListEditor1KeyDown(kVkEscape);
  EXPECT_TRUE(view.visible);
  EXPECT_EQ(Candidates().size(), 4u);
  form.ValueListEditor1KeyDown(kVkEscape);
  EXPECT_FALSE(view.visible);
  EXPECT_TRUE(inserter.texts.empty());
  // The deactivation that the hiding caused cleared the flag.
  EXPECT_FALSE(form.AwaitingInput());
}

TEST_F(CandidateWindowTest, AutoConfirmInsertsTheLastCandidateLeft) {
  settings.CkAutoResult = true;
  Open();
  Type("a");
  EXPECT_TRUE(inserter.texts.empty());
  Type("b");
  EXPECT_EQ(inserter.texts, std::vector<std::string>{"A"});
  EXPECT_FALSE(view.visible);
}

TEST_F(CandidateWindowTest, EnterOnAnEmptyListInsertsAnEmptyText) {
  Open();
  Type("zz");
  form.ValueListEditor1KeyDown(kVkReturn);
  EXPECT_EQ(inserter.texts, std::vector<std::string>{""});
}

TEST_F(CandidateWindowTest, DateCodesAreFilledInAndTheSelectedRowIsConfirmed) {
  main_table = lookup::PhraseTable(
      std::vector<std::string>{"d=今日は【年】年【月】月【日】日", "dt=【時】時【分】分です"});
  Open();
  form.ValueListEditor1KeyDown(kVkDown);  // row 2
  form.ValueListEditor1KeyDown(kVkReturn);
  EXPECT_EQ(inserter.texts, std::vector<std::string>{"9時5分です"});
  form.PlaceAtCaret();
  Type("d");
  form.ValueListEditor1KeyDown(kVkLeft);  // back to row 1
  form.ValueListEditor1KeyDown(kVkReturn);
  EXPECT_EQ(inserter.texts.back(), "今日は2026年5月1日");
}

TEST_F(CandidateWindowTest, TheNextOpeningStartsAfresh) {
  Open();
  Type("ac");
  form.ValueListEditor1KeyDown(kVkReturn);
  form.PlaceAtCaret();
  EXPECT_EQ(form.lookup().stroke_buffer().text(), "");
  EXPECT_EQ(Candidates().size(), 4u);
}

TEST_F(CandidateWindowTest, TheHotkeyOnAShownWindowOnlyPlacesItAgain) {
  Open();
  Type("a");
  form.PlaceAtCaret();
  EXPECT_EQ(form.lookup().stroke_buffer().text(), "a");
  EXPECT_EQ(Candidates().size(), 3u);
  EXPECT_EQ(desktop.log.back(), "RaiseToTop");
}

TEST_F(CandidateWindowTest, ClickingIntoAnotherProgramHidesWithoutInserting) {
  Open();
  Type("a");
  view.LoseActivation();
  EXPECT_FALSE(view.visible);
  EXPECT_FALSE(form.AwaitingInput());
  EXPECT_TRUE(inserter.texts.empty());
}

TEST_F(CandidateWindowTest, TheDeactivationAfterAConfirmationDoesNothingMore) {
  Open();
  form.ValueListEditor1KeyDown(kVkReturn);
  // One hide: the deactivation that follows it finds AwaitingInput already clear.
  EXPECT_EQ(desktop.log, (std::vector<std::string>{"Hide", "InsertText A after hiding"}));
}

TEST_F(CandidateWindowTest, Timer1RaisesTheShownWindowOnce) {
  Open();
  timers.Advance(200);
  EXPECT_EQ(desktop.log, std::vector<std::string>{"RaiseToTop"});
  EXPECT_FALSE(timers.IsRunning(TimerId::kForm2Timer1));
  timers.Advance(1000);
  EXPECT_EQ(desktop.log.size(), 1u);
}

TEST_F(CandidateWindowTest, Timer1ShowsAgainAWindowThatLostTheActivationAtOnce) {
  Open();
  view.LoseActivation();  // the program in front took the activation straight back
  timers.Advance(200);
  EXPECT_TRUE(view.visible);
  EXPECT_TRUE(form.AwaitingInput());
  EXPECT_EQ(desktop.log, (std::vector<std::string>{"Hide", "ShowWindow", "BringApplicationToFront",
                                                   "SwitchImeOff"}));
}

TEST_F(CandidateWindowTest, AWindowTheUserClosedWithinTimer1StaysClosed) {
  settings.CkAutoResult = true;
  const struct {
    const char* name;
    std::uint16_t key;
  } cases[] = {{"confirmed", kVkReturn}, {"closed with Esc", kVkEscape}};
  for (const auto& c : cases) {
    form.PlaceAtCaret();
    timers.Advance(50);
    form.ValueListEditor1KeyDown(c.key);
    timers.Advance(1000);
    EXPECT_FALSE(view.visible) << c.name;
  }
}

TEST_F(CandidateWindowTest, AtStartUpTheWindowShowsAndTimer2HidesIt) {
  form.Show();
  EXPECT_TRUE(view.visible);
  EXPECT_EQ(Candidates().size(), 4u);
  timers.Advance(30);  // the start-up loads
  form.StartHideTimer();
  timers.Advance(249);
  EXPECT_TRUE(view.visible);
  timers.Advance(1);
  EXPECT_FALSE(view.visible);
  EXPECT_FALSE(timers.IsRunning(TimerId::kForm2Timer2));
  EXPECT_FALSE(form.AwaitingInput());
}

TEST_F(CandidateWindowTest, AWindowReShownDuringTheStartUpStaysHiddenAfterTimer2) {
  form.Show();
  view.LoseActivation();  // the main window comes up at once and takes the activation
  form.StartHideTimer();  // a quick start-up: Timer2 is due at 250 ms
  timers.Advance(200);    // Timer1 shows the window anew, which starts Timer1 again
  EXPECT_TRUE(view.visible);
  timers.Advance(1000);  // Timer2 hides it at 250 ms; the pending Timer1 must not undo that
  EXPECT_FALSE(view.visible);
}

TEST_F(CandidateWindowTest, TheSettingsSizeIsScaledToTheWindowsDpiAndReadBackUnscaled) {
  struct Case {
    unsigned dpi;
    Size settings;
    Size outer;
  };
  const Case cases[] = {
      {96, {116, 225}, {116, 225}},  {120, {116, 225}, {145, 281}}, {144, {116, 225}, {174, 338}},
      {168, {150, 300}, {263, 525}}, {192, {116, 225}, {232, 450}},
  };
  for (const auto& c : cases) {
    view.dpi = c.dpi;
    settings.Form2Width = c.settings.width;
    settings.Form2Height = c.settings.height;
    form.ApplySettingsSize();
    EXPECT_EQ(form.OuterSize(), c.outer) << c.dpi << " DPI";
    EXPECT_EQ(form.SizeAtBaseDpi(), c.settings) << c.dpi << " DPI: what a save writes";
  }
}

TEST_F(CandidateWindowTest, ASaveTakesTheWindowsCurrentSizeNotTheOneLoaded) {
  // The system keeps a window no smaller than its caption needs: a tiny size from the settings
  // comes out larger, and that is the size the user sees and the next save writes.
  view.dpi = 144;
  settings.Form2Width = 10;
  settings.Form2Height = 10;
  form.ApplySettingsSize();
  view.size = {168, 51};  // what the system made of 15 x 15
  EXPECT_EQ(form.SizeAtBaseDpi(), (Size{112, 34}));
}

TEST_F(CandidateWindowTest, TheListsOwnKeysMoveTheSelectionWithinItsRows) {
  Open();
  form.ValueListEditor1KeyDown(kVkDown);
  form.ValueListEditor1KeyDown(kVkDown);
  EXPECT_EQ(form.lookup().selection_row(), 3u);
  form.ValueListEditor1KeyDown(0x23);  // End
  EXPECT_EQ(form.lookup().selection_row(), 4u);
  form.ValueListEditor1KeyDown(kVkDown);
  EXPECT_EQ(form.lookup().selection_row(), 4u);
  Type("a");  // a rebuild: row 4 is beyond the 3 candidates left, so row 1
  EXPECT_EQ(form.lookup().selection_row(), 1u);
  form.ValueListEditor1SelectCell({3, 1});  // a click
  EXPECT_EQ(form.lookup().selection_row(), 3u);
  form.ValueListEditor1SelectCell({9, 0});
  EXPECT_EQ(form.lookup().selection_row(), 3u) << "a click never leaves the rows";
}

struct NavigationCase {
  const char* name;
  ListCell at;
  std::uint16_t key;
  bool ctrl, shift;
  std::optional<ListCell> expected;
};

// Ten rows, four of them on a page.
const NavigationCase kNavigationCases[] = {
    {"up", {5, 0}, 0x26, false, false, ListCell{4, 0}},
    {"up at the top", {1, 0}, 0x26, false, false, ListCell{1, 0}},
    {"left", {5, 1}, 0x25, false, false, ListCell{4, 1}},
    {"down", {5, 0}, 0x28, false, false, ListCell{6, 0}},
    {"down at the bottom", {10, 0}, 0x28, false, false, ListCell{10, 0}},
    {"right", {5, 0}, 0x27, false, false, ListCell{6, 0}},
    {"page up", {6, 0}, 0x21, false, false, ListCell{2, 0}},
    {"page up near the top", {3, 0}, 0x21, false, false, ListCell{1, 0}},
    {"page down", {5, 0}, 0x22, false, false, ListCell{9, 0}},
    {"page down near the bottom", {8, 0}, 0x22, false, false, ListCell{10, 0}},
    {"home", {7, 0}, 0x24, false, false, ListCell{1, 0}},
    {"ctrl home", {7, 0}, 0x24, true, false, ListCell{1, 0}},
    {"ctrl up", {7, 0}, 0x26, true, false, ListCell{1, 0}},
    {"end", {3, 0}, 0x23, false, false, ListCell{10, 0}},
    {"ctrl end", {3, 0}, 0x23, true, false, ListCell{10, 0}},
    {"ctrl down", {3, 0}, 0x28, true, false, ListCell{10, 0}},
    {"tab to the phrase cell", {3, 0}, 0x09, false, false, ListCell{3, 1}},
    {"tab to the next row", {3, 1}, 0x09, false, false, ListCell{4, 0}},
    {"tab from the last row to the first", {10, 1}, 0x09, false, false, ListCell{1, 0}},
    {"shift tab to the stroke cell", {3, 1}, 0x09, false, true, ListCell{3, 0}},
    {"shift tab to the previous row", {3, 0}, 0x09, false, true, ListCell{2, 1}},
    {"shift tab from the first row to the last", {1, 0}, 0x09, false, true, ListCell{10, 1}},
    {"a stroke key", {3, 0}, 0x41, false, false, std::nullopt},
    {"enter", {3, 0}, 0x0D, false, false, std::nullopt},
};

TEST(NavigateList, MovesAsTheListsOwnKeysDo) {
  for (const auto& c : kNavigationCases) {
    EXPECT_EQ(NavigateList(c.at, 10, 4, c.key, c.ctrl, c.shift), c.expected) << c.name;
  }
}

TEST(NavigateList, AnEmptyListHasOneRowToStayOn) {
  const std::uint16_t keys[] = {0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28};
  for (const std::uint16_t key : keys) {
    const auto moved = NavigateList({1, 0}, 0, 4, key, false, false);
    ASSERT_TRUE(moved.has_value()) << key;
    EXPECT_EQ(moved->row, 1u) << key;
  }
  EXPECT_EQ(NavigateList({1, 1}, 0, 4, 0x09, false, false), (ListCell{1, 0}));
}

}  // namespace
}  // namespace talvorine::desktop
