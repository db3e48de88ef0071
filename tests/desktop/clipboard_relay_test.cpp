#include "desktop/clipboard_relay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/error_record.h"
#include "support/fake_desktop.h"
#include "support/fake_timers.h"

namespace talvorine::desktop {
namespace {

using testing::FakeDesktop;
using testing::FakeTimers;
using Key = FakeDesktop::KeyEventRecord;
using Formats = std::vector<FakeDesktop::ClipboardFormat>;

// A clipboard as a user leaves it after copying from a browser: several formats in the order the
// program put them.
const Formats kUsersClipboard = {{FakeDesktop::kText, "自分の文"},
                                 {"HTML Format", "<b>自分の文</b>"},
                                 {"CF_DIB", std::string(4000, '\x7f')},
                                 {"Custom", std::string("\0\1\2", 3)}};

constexpr WindowHandle kTarget = 100;
constexpr WindowHandle kCandidateWindow = 2;

class ClipboardRelayTest : public ::testing::Test {
 protected:
  ClipboardRelayTest() {
    timers.on_tick = [this](TimerId id) {
      if (id == TimerId::kTmRecovCB) {
        relay.TmRecovCBTimer();
      }
    };
    desktop.AddWindow(kTarget, {7, 0, false, {}});
    desktop.AddWindow(kCandidateWindow, {FakeDesktop::kOwnThread, 0, true, {}});
    desktop.foreground_window = kTarget;
  }

  // The clipboard text at each Ctrl+V typed, read from the order of the calls.
  std::vector<std::string> PastedTexts() const {
    std::vector<std::string> pasted;
    std::string clipboard;
    for (const std::string& line : desktop.log) {
      if (line.starts_with("SetClipboardText ")) {
        clipboard = line.substr(17);
      } else if (line == "Key 0x56 down") {
        pasted.push_back(clipboard);
      }
    }
    return pasted;
  }

  // The formats the last insertion saved.
  Formats Saved() const {
    const auto* saved = dynamic_cast<const FakeDesktop::Snapshot*>(relay.SavedClipboard());
    return saved ? saved->formats : Formats{};
  }

  void Insert(std::string_view text) { relay.InsertText(text, InsertAfter::kHotkey); }

  FakeTimers timers;
  FakeDesktop desktop{&timers};
  files::Settings settings;
  MemoryErrorRecord record;
  ClipboardRelay relay{desktop, timers, settings, record};
};

TEST_F(ClipboardRelayTest, PutsTheTextOnTheClipboardWaitsAndTypesCtrlV) {
  desktop.clipboard = kUsersClipboard;
  Insert("こんにちは");
  // No restore follows: the text is all that is copied.
  const std::vector<std::string> expected = {"SaveClipboard text",
                                             "ClearClipboard",
                                             "SetClipboardText こんにちは",
                                             "ProcessPendingMessages",
                                             "ShowForegroundWindow",
                                             "Sleep 100",
                                             "Key 0x11 down",
                                             "Key 0x56 down",
                                             "Key 0x56 up",
                                             "Key 0x11 up"};
  EXPECT_EQ(desktop.log, expected);
  EXPECT_EQ(desktop.clipboard, (Formats{{FakeDesktop::kText, "こんにちは"}}));
  EXPECT_EQ(Saved(), (Formats{{FakeDesktop::kText, "自分の文"}}));
}

TEST_F(ClipboardRelayTest, WithCkRecovCBEveryStepKeepsItsOrderAndTheRestoreComesLast) {
  settings.CkRecovCB = true;
  desktop.clipboard = kUsersClipboard;
  Insert("こんにちは");
  timers.Advance(250);
  const std::vector<std::string> expected = {"SaveClipboard everything",
                                             "ClearClipboard",
                                             "SetClipboardText こんにちは",
                                             "ProcessPendingMessages",
                                             "ShowForegroundWindow",
                                             "Sleep 100",
                                             "Key 0x11 down",
                                             "Key 0x56 down",
                                             "Key 0x56 up",
                                             "Key 0x11 up",
                                             "RestoreClipboard"};
  EXPECT_EQ(desktop.log, expected);
}

TEST_F(ClipboardRelayTest, TheSleepFollowsWindowWait) {
  settings.WindowWait = 250;
  Insert("a");
  EXPECT_EQ(desktop.slept_milliseconds, 250u);
}

TEST_F(ClipboardRelayTest, AnEmptyTextStillEmptiesTheClipboardAndPastes) {
  desktop.PutTextOnClipboard("x");
  Insert("");
  EXPECT_EQ(desktop.clipboard_text(), "");
  EXPECT_EQ(PastedTexts(), std::vector<std::string>{""});
}

struct HeldModifiersCase {
  const char* name;
  bool ctrl, shift, alt;
  std::vector<Key> keys;
};

TEST_F(ClipboardRelayTest, HeldModifiersAreReleasedForThePasteAndPressedAgain) {
  constexpr auto d = KeyDirection::kDown;
  constexpr auto u = KeyDirection::kUp;
  const HeldModifiersCase cases[] = {
      {"none", false, false, false, {{0x11, d}, {0x56, d}, {0x56, u}, {0x11, u}}},
      {"alt",
       false,
       false,
       true,
       {{0x12, u}, {0x11, d}, {0x56, d}, {0x56, u}, {0x11, u}, {0x12, d}}},
      {"ctrl and shift",
       true,
       true,
       false,
       {{0x11, u}, {0x10, u}, {0x11, d}, {0x56, d}, {0x56, u}, {0x11, u}, {0x11, d}, {0x10, d}}},
      {"all three",
       true,
       true,
       true,
       {{0x11, u},
        {0x10, u},
        {0x12, u},
        {0x11, d},
        {0x56, d},
        {0x56, u},
        {0x11, u},
        {0x11, d},
        {0x10, d},
        {0x12, d}}},
  };
  for (const auto& c : cases) {
    desktop.keys_down.clear();
    if (c.ctrl)
      desktop.HoldKey(kVkControl);
    if (c.shift)
      desktop.HoldKey(kVkShift);
    if (c.alt)
      desktop.HoldKey(kVkMenu);
    const auto held_before = desktop.keys_down;
    Insert("x");
    EXPECT_EQ(desktop.TakeKeyEvents(), c.keys) << c.name;
    EXPECT_EQ(desktop.keys_down, held_before) << c.name << ": the user's keys are down again";
  }
}

struct ClipboardCase {
  const char* name;
  Formats formats;
};

TEST_F(ClipboardRelayTest, WithCkRecovCBTheWholeClipboardComesBackAQuarterSecondLater) {
  settings.CkRecovCB = true;
  const ClipboardCase cases[] = {
      {"text, HTML, picture and a custom format", kUsersClipboard},
      {"a picture alone", {{"CF_DIB", "BM picture"}}},
      {"the picture before the text", {{"CF_DIB", "BM"}, {FakeDesktop::kText, "文"}}},
      {"nothing at all", {}},
  };
  for (const auto& c : cases) {
    desktop.clipboard = c.formats;
    Insert("定型文");
    timers.Advance(249);
    EXPECT_EQ(desktop.clipboard_text(), "定型文") << c.name;
    timers.Advance(1);
    EXPECT_EQ(desktop.clipboard, c.formats) << c.name;
    EXPECT_FALSE(timers.IsRunning(TimerId::kTmRecovCB)) << c.name << ": the restore runs once";
    EXPECT_EQ(relay.SavedClipboard(), nullptr) << c.name << ": the copy is let go";
  }
  EXPECT_TRUE(record.lines().empty());
}

TEST_F(ClipboardRelayTest, WithoutCkRecovCBThePhraseStaysAndOnlyTheTextIsSaved) {
  desktop.clipboard = kUsersClipboard;
  Insert("定型文");
  timers.Advance(10000);
  EXPECT_EQ(desktop.clipboard_text(), "定型文");
  EXPECT_EQ(Saved(), (Formats{{FakeDesktop::kText, "自分の文"}}));
  EXPECT_FALSE(timers.IsRunning(TimerId::kTmRecovCB));
}

TEST_F(ClipboardRelayTest, AClipboardOverTheLimitComesBackAsItsTextWithOneRecordLine) {
  settings.CkRecovCB = true;
  desktop.snapshot_limit = 4000;  // the picture alone is as large
  desktop.clipboard = kUsersClipboard;
  Insert("一つ目");
  Insert("二つ目");  // while the restore is pending: the first copy stays, no second line
  timers.Advance(250);
  EXPECT_EQ(desktop.clipboard, (Formats{{FakeDesktop::kText, "自分の文"}}));
  EXPECT_EQ(record.lines(), (std::deque<std::string>{std::string(kClipboardKeptTextOnlyLine)}));
}

TEST_F(ClipboardRelayTest, InsertionsInQuickSuccessionEndWithTheUsersText) {
  settings.CkRecovCB = true;
  // Gaps between the starts of two insertions, each 100 ms long: the second starts before the
  // restore of the first (due 250 ms after the first ends) has run, or while it is overdue.
  const std::uint64_t gaps[] = {100, 200, 300, 340};
  for (const std::uint64_t gap : gaps) {
    desktop.log.clear();
    desktop.clipboard = kUsersClipboard;
    const std::uint64_t start = timers.now();
    Insert("一つ目");
    timers.Advance(start + gap - timers.now());
    Insert("二つ目");
    EXPECT_EQ(PastedTexts(), (std::vector<std::string>{"一つ目", "二つ目"})) << "gap " << gap;
    EXPECT_EQ(std::count(desktop.log.begin(), desktop.log.end(), "SaveClipboard everything"), 1)
        << "gap " << gap << ": the second insertion keeps the first one's copy";
    const std::uint64_t second_done = timers.now();
    EXPECT_EQ(timers.DueAt(TimerId::kTmRecovCB), second_done + 250)
        << "gap " << gap << ": the restore follows the second insertion";
    timers.Advance(250);
    EXPECT_EQ(desktop.clipboard, kUsersClipboard) << "gap " << gap;
  }
}

TEST_F(ClipboardRelayTest, AnOverdueRestoreCannotRunBetweenTheNewTextAndItsPaste) {
  settings.CkRecovCB = true;
  desktop.clipboard = kUsersClipboard;
  Insert("一つ目");
  timers.Pass(1000);  // the thread was busy: the restore is overdue when the next one starts
  Insert("二つ目");
  EXPECT_EQ(PastedTexts(), (std::vector<std::string>{"一つ目", "二つ目"}));
  timers.Advance(250);
  EXPECT_EQ(desktop.clipboard, kUsersClipboard);
}

TEST_F(ClipboardRelayTest, AnInsertionAskedForWhileMessagesArePumpedFollowsTheFirst) {
  settings.CkRecovCB = true;
  desktop.clipboard = kUsersClipboard;
  bool hotkey_pressed = false;
  desktop.on_process_messages = [&] {
    if (!hotkey_pressed) {
      hotkey_pressed = true;
      relay.InsertText("受信文", InsertAfter::kHotkey);
    }
  };
  relay.InsertText("定型文", InsertAfter::kCandidateWindowHidden);
  EXPECT_EQ(PastedTexts(), (std::vector<std::string>{"定型文", "受信文"}));
  timers.Advance(250);
  EXPECT_EQ(desktop.clipboard, kUsersClipboard);
}

struct ForegroundCase {
  const char* name;
  WindowHandle in_front_at_first;
  std::uint32_t target_in_front_after;  // ms after the WindowWait sleep; 0: never
  std::uint64_t extra_wait;
};

constexpr ForegroundCase kForegroundCases[] = {
    {"target already in front", kTarget, 0, 0},
    {"no window, then the target", 0, 30, 30},
    {"the candidate window, then the target", kCandidateWindow, 120, 120},
    {"the main window, then the target", FakeDesktop::kMainWindow, 10, 10},
    {"no window ever", 0, 0, 500},
};

TEST_F(ClipboardRelayTest, AfterTheCandidateWindowHidThePasteWaitsBoundedlyForAnotherProgram) {
  for (const auto& c : kForegroundCases) {
    desktop.foreground_window = c.in_front_at_first;
    desktop.slept_milliseconds = 0;
    std::uint64_t waited = 0;
    bool after_window_wait = false;
    desktop.on_sleep = [&](std::uint32_t ms) {
      if (!after_window_wait) {
        after_window_wait = true;  // the first sleep is WindowWait
        return;
      }
      waited += ms;
      if (c.target_in_front_after != 0 && waited >= c.target_in_front_after) {
        desktop.foreground_window = kTarget;
      }
    };
    relay.InsertText("x", InsertAfter::kCandidateWindowHidden);
    EXPECT_EQ(desktop.slept_milliseconds, 100 + c.extra_wait) << c.name;
    EXPECT_EQ(desktop.TakeKeyEvents().size(), 4u) << c.name << ": Ctrl+V is typed in the end";
  }
}

TEST_F(ClipboardRelayTest, ThePasteHotkeyPastesWhereTheKeyboardIsWithoutWaiting) {
  // Our own windows in front, or none: the user pressed the paste hotkey there, and nothing is
  // coming to the front.
  for (const WindowHandle in_front :
       {FakeDesktop::kMainWindow, kCandidateWindow, WindowHandle{0}}) {
    desktop.foreground_window = in_front;
    desktop.slept_milliseconds = 0;
    Insert("x");
    EXPECT_EQ(desktop.slept_milliseconds, 100u) << "window " << in_front;
    EXPECT_EQ(desktop.TakeKeyEvents().size(), 4u) << "window " << in_front;
  }
}

TEST_F(ClipboardRelayTest, ABusyClipboardStopsTheInsertionBeforeAnyKey) {
  desktop.PutTextOnClipboard("自分の文");
  desktop.clipboard_busy = true;
  try {
    Insert("定型文");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "クリップボードを開くことができません");
  }
  EXPECT_TRUE(desktop.key_events.empty());
  EXPECT_EQ(desktop.slept_milliseconds, 0u);
  desktop.clipboard_busy = false;
  Insert("次の文");  // the relay is not left half-way
  EXPECT_EQ(PastedTexts(), std::vector<std::string>{"次の文"});
}

TEST_F(ClipboardRelayTest, APendingRestoreSurvivesAnInsertionThatFindsTheClipboardBusy) {
  settings.CkRecovCB = true;
  desktop.clipboard = kUsersClipboard;
  Insert("一つ目");
  desktop.clipboard_busy = true;
  EXPECT_THROW(Insert("二つ目"), Error);
  desktop.clipboard_busy = false;
  timers.Advance(250);
  EXPECT_EQ(desktop.clipboard, kUsersClipboard);
}

TEST_F(ClipboardRelayTest, ABusyClipboardAtTheRestoreRaisesTheError) {
  settings.CkRecovCB = true;
  Insert("定型文");
  desktop.clipboard_busy = true;
  EXPECT_THROW(timers.Advance(250), Error);
  EXPECT_FALSE(timers.IsRunning(TimerId::kTmRecovCB));
}

}  // namespace
}  // namespace talvorine::desktop
