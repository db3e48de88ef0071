#include "desktop/clipboard_relay.h"

#include <algorithm>
#include <utility>

namespace talvorine::desktop {

ClipboardRelay::ClipboardRelay(Desktop& desktop, Timers& timers, const files::Settings& settings,
                               ErrorRecord& record)
    : desktop_(desktop), timers_(timers), settings_(settings), record_(record) {}

void ClipboardRelay::InsertText(std::string_view text, InsertAfter after) {
  // Pending messages are processed in the middle of an insertion, so a hotkey may ask for
  // another one while the clipboard still holds the first text. Running it there would paste
  // its text twice and lose the first, so it waits for its turn.
  if (inserting_) {
    queued_.push_back({std::string(text), after});
    return;
  }
  inserting_ = true;
  struct Reset {
    ClipboardRelay& relay;
    ~Reset() {
      relay.inserting_ = false;
      relay.queued_.clear();
    }
  } reset{*this};
  InsertOne(text, after);
  while (!queued_.empty()) {
    const Insertion next = std::move(queued_.front());
    queued_.pop_front();
    InsertOne(next.text, next.after);
  }
}

void ClipboardRelay::InsertOne(std::string_view text, InsertAfter after) {
  const bool ctrl = desktop_.IsKeyDown(kVkControl);
  const bool shift = desktop_.IsKeyDown(kVkShift);
  const bool alt = desktop_.IsKeyDown(kVkMenu);

  // While a restore is pending the clipboard holds the previous phrase, not the user's data:
  // keep what the previous insertion saved, and hold the restore back until this insertion is
  // done, so that it cannot put the user's data back just before the Ctrl+V.
  const bool restore_pending = timers_.IsRunning(TimerId::kTmRecovCB);
  std::unique_ptr<ClipboardSnapshot> found;
  if (restore_pending) {
    timers_.Stop(TimerId::kTmRecovCB);
  } else {
    // Only a restore needs the whole clipboard; copying a large picture for nothing would
    // delay every paste.
    found = desktop_.SaveClipboard(settings_.CkRecovCB ? ClipboardCopy::kEverything
                                                       : ClipboardCopy::kText);
    if (found->KeptTextOnly()) {
      record_.AddLine(kClipboardKeptTextOnlyLine);
    }
  }
  const auto keep_found = [&] {
    if (found) {
      saved_clipboard_ = std::move(found);
    }
  };

  try {
    desktop_.ClearClipboard();
    desktop_.SetClipboardText(text);
  } catch (...) {
    // No paste then; but the user's data may already be gone from the clipboard, so it is kept
    // and put back as after an insertion.
    keep_found();
    if (settings_.CkRecovCB || restore_pending) {
      timers_.Start(TimerId::kTmRecovCB);
    }
    throw;
  }

  desktop_.ProcessPendingMessages();
  desktop_.ShowForegroundWindow();
  desktop_.Sleep(static_cast<std::uint32_t>(std::max(settings_.WindowWait, 0)));
  if (after == InsertAfter::kCandidateWindowHidden) {
    WaitForAnotherProgramInFront();
  }
  TypeCtrlV(ctrl, shift, alt);

  keep_found();
  if (settings_.CkRecovCB) {
    timers_.Start(TimerId::kTmRecovCB);
  }
}

void ClipboardRelay::WaitForAnotherProgramInFront() {
  // Right after the candidate window hides, the program the user came from may not be in front
  // yet; a Ctrl+V typed into nowhere or into our own window loses the phrase.
  const auto nobody_else_in_front = [this] {
    const WindowHandle foreground = desktop_.ForegroundWindow();
    return foreground == 0 || desktop_.IsOwnWindow(foreground);
  };
  for (std::uint32_t waited = 0; waited < kForegroundWaitLimit && nobody_else_in_front();
       waited += kForegroundPollInterval) {
    desktop_.Sleep(kForegroundPollInterval);
  }
}

void ClipboardRelay::TypeCtrlV(bool ctrl, bool shift, bool alt) {
  // The modifiers the user still holds (from the hotkey, say) would turn Ctrl+V into another
  // combination; they are let go for the paste and pressed again after it.
  const std::pair<bool, std::uint16_t> modifiers[] = {
      {ctrl, kVkControl}, {shift, kVkShift}, {alt, kVkMenu}};
  for (const auto& [held, key] : modifiers) {
    if (held) {
      desktop_.KeyEvent(key, KeyDirection::kUp);
    }
  }
  desktop_.KeyEvent(kVkControl, KeyDirection::kDown);
  desktop_.KeyEvent(kVkV, KeyDirection::kDown);
  desktop_.KeyEvent(kVkV, KeyDirection::kUp);
  desktop_.KeyEvent(kVkControl, KeyDirection::kUp);
  for (const auto& [held, key] : modifiers) {
    if (held) {
      desktop_.KeyEvent(key, KeyDirection::kDown);
    }
  }
}

void ClipboardRelay::TmRecovCBTimer() {
  timers_.Stop(TimerId::kTmRecovCB);
  if (!saved_clipboard_) {
    return;
  }
  desktop_.RestoreClipboard(*saved_clipboard_);
  // The clipboard holds the user's data again; a copy of a large picture need not stay in
  // memory until the next insertion.
  saved_clipboard_.reset();
}

}  // namespace talvorine::desktop
