#include "desktop/clipboard_relay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/error.h"
#include "support/fake_desktop.h"
#include "support/fake_timers.h"

namespace talvorine::desktop {
namespace {

using testing::FakeDesktop;
using testing::FakeTimers;
using Key = FakeDesktop::KeyEventRecord;

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

  FakeTimers timers;
  FakeDesktop desktop{&timers};
  files::Settings settings;
  ClipboardRelay relay{desktop, timers, settings};
};

TEST_F(ClipboardRelayTest, PutsTheTextOnTheClipboardWaitsAndTypesCtrlV) {
  desktop.clipboard_text = "自分の文";
  relay.InsertText("こんにちは");
  const std::vector<std::string> expected = {"ClipboardText",
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
  EXPECT_EQ(desktop.clipboard_text, "こんにちは");
  EXPECT_EQ(relay.SavedClipboardText(), "自分の文");
}

TEST_F(ClipboardRelayTest, TheSleepFollowsWindowWait) {
  settings.WindowWait = 250;
  relay.InsertText("a");
  EXPECT_EQ(desktop.slept_milliseconds, 250u);
}

TEST_F(ClipboardRelayTest, AnEmptyTextStillEmptiesTheClipboardAndPastes) {
  desktop.clipboard_text = "x";
  relay.InsertText("");
  EXPECT_EQ(desktop.clipboard_text, "");
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
    relay.InsertText("x");
    EXPECT_EQ(desktop.TakeKeyEvents(), c.keys) << c.name;
    EXPECT_EQ(desktop.keys_down, held_before) << c.name << ": the user's keys are down again";
  }
}

TEST_F(ClipboardRelayTest, WithCkRecovCBTheUsersTextComesBackAQuarterSecondLater) {
  settings.CkRecovCB = true;
  desktop.clipboard_text = "自分の文";
  relay.InsertText("定型文");
  timers.Advance(249);
  EXPECT_EQ(desktop.clipboard_text, "定型文");
  timers.Advance(1);
  EXPECT_EQ(desktop.clipboard_text, "自分の文");
  EXPECT_FALSE(timers.IsRunning(TimerId::kTmRecovCB)) << "the restore runs once";
}

TEST_F(ClipboardRelayTest, WithoutCkRecovCBTheTextStaysButIsStillSaved) {
  desktop.clipboard_text = "自分の文";
  relay.InsertText("定型文");
  timers.Advance(10000);
  EXPECT_EQ(desktop.clipboard_text, "定型文");
  EXPECT_EQ(relay.SavedClipboardText(), "自分の文");
  EXPECT_FALSE(timers.IsRunning(TimerId::kTmRecovCB));
}

TEST_F(ClipboardRelayTest, APictureOnTheClipboardComesBackAsAnEmptyText) {
  settings.CkRecovCB = true;
  desktop.PutPictureOnClipboard();
  relay.InsertText("定型文");
  timers.Advance(250);
  EXPECT_EQ(desktop.clipboard_text, "");
  EXPECT_FALSE(desktop.clipboard_holds_other);
}

TEST_F(ClipboardRelayTest, InsertionsInQuickSuccessionEndWithTheUsersText) {
  settings.CkRecovCB = true;
  // Gaps between the starts of two insertions, each 100 ms long: the second starts before the
  // restore of the first (due 250 ms after the first ends) has run, or while it is overdue.
  const std::uint64_t gaps[] = {100, 200, 300, 340};
  for (const std::uint64_t gap : gaps) {
    desktop.log.clear();
    desktop.clipboard_text = "自分の文";
    const std::uint64_t start = timers.now();
    relay.InsertText("一つ目");
    timers.Advance(start + gap - timers.now());
    relay.InsertText("二つ目");
    EXPECT_EQ(PastedTexts(), (std::vector<std::string>{"一つ目", "二つ目"})) << "gap " << gap;
    const std::uint64_t second_done = timers.now();
    EXPECT_EQ(timers.DueAt(TimerId::kTmRecovCB), second_done + 250)
        << "gap " << gap << ": the restore follows the second insertion";
    timers.Advance(250);
    EXPECT_EQ(desktop.clipboard_text, "自分の文") << "gap " << gap;
    EXPECT_EQ(relay.SavedClipboardText(), "自分の文") << "gap " << gap;
  }
}

TEST_F(ClipboardRelayTest, AnOverdueRestoreCannotRunBetweenTheNewTextAndItsPaste) {
  settings.CkRecovCB = true;
  desktop.clipboard_text = "自分の文";
  relay.InsertText("一つ目");
  timers.Pass(1000);  // the thread was busy: the restore is overdue when the next one starts
  relay.InsertText("二つ目");
  EXPECT_EQ(PastedTexts(), (std::vector<std::string>{"一つ目", "二つ目"}));
  timers.Advance(250);
  EXPECT_EQ(desktop.clipboard_text, "自分の文");
}

TEST_F(ClipboardRelayTest, AnInsertionAskedForWhileMessagesArePumpedFollowsTheFirst) {
  settings.CkRecovCB = true;
  desktop.clipboard_text = "自分の文";
  bool hotkey_pressed = false;
  desktop.on_process_messages = [&] {
    if (!hotkey_pressed) {
      hotkey_pressed = true;
      relay.InsertText("受信文");
    }
  };
  relay.InsertText("定型文");
  EXPECT_EQ(PastedTexts(), (std::vector<std::string>{"定型文", "受信文"}));
  timers.Advance(250);
  EXPECT_EQ(desktop.clipboard_text, "自分の文");
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

TEST_F(ClipboardRelayTest, ThePasteWaitsBoundedlyForAnotherProgramToComeToTheFront) {
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
    relay.InsertText("x");
    EXPECT_EQ(desktop.slept_milliseconds, 100 + c.extra_wait) << c.name;
    EXPECT_EQ(desktop.TakeKeyEvents().size(), 4u) << c.name << ": Ctrl+V is typed in the end";
  }
}

TEST_F(ClipboardRelayTest, ABusyClipboardStopsTheInsertionBeforeAnyKey) {
  desktop.clipboard_text = "自分の文";
  desktop.clipboard_busy = true;
  try {
    relay.InsertText("定型文");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "クリップボードを開くことができません");
  }
  EXPECT_TRUE(desktop.key_events.empty());
  EXPECT_EQ(desktop.slept_milliseconds, 0u);
  desktop.clipboard_busy = false;
  relay.InsertText("次の文");  // the relay is not left half-way
  EXPECT_EQ(PastedTexts(), std::vector<std::string>{"次の文"});
}

TEST_F(ClipboardRelayTest, APendingRestoreSurvivesAnInsertionThatFindsTheClipboardBusy) {
  settings.CkRecovCB = true;
  desktop.clipboard_text = "自分の文";
  relay.InsertText("一つ目");
  desktop.clipboard_busy = true;
  EXPECT_THROW(relay.InsertText("二つ目"), Error);
  desktop.clipboard_busy = false;
  timers.Advance(250);
  EXPECT_EQ(desktop.clipboard_text, "自分の文");
}

TEST_F(ClipboardRelayTest, ABusyClipboardAtTheRestoreRaisesTheError) {
  settings.CkRecovCB = true;
  relay.InsertText("定型文");
  desktop.clipboard_busy = true;
  EXPECT_THROW(timers.Advance(250), Error);
  EXPECT_FALSE(timers.IsRunning(TimerId::kTmRecovCB));
}

}  // namespace
}  // namespace talvorine::desktop
