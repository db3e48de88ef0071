#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "common/timers.h"
#include "desktop/desktop.h"
#include "desktop/text_inserter.h"
#include "files/settings.h"

namespace talvorine::desktop {

// Inserts text into the program that has the focus by relaying it through the clipboard
// (InsertText), and puts the user's own clipboard text back a moment later when CkRecovCB asks
// for it (TmRecovCBTimer, the tick of TmRecovCB). CkRecovCB and WindowWait are read from the
// settings at every insertion.
class ClipboardRelay : public TextInserter {
 public:
  // How long a paste waits, beyond WindowWait, for another program to come to the front, and
  // how often it looks.
  static constexpr std::uint32_t kForegroundWaitLimit = 500;
  static constexpr std::uint32_t kForegroundPollInterval = 10;

  ClipboardRelay(Desktop& desktop, Timers& timers, const files::Settings& settings);

  // Raises Error("クリップボードを開くことができません") when the clipboard cannot be opened; no
  // key is typed then.
  void InsertText(std::string_view text) override;
  void TmRecovCBTimer();

  // The clipboard text found at the start of the last insertion: the user's own text, also when
  // that insertion began while the restore of an earlier one was still pending.
  const std::string& SavedClipboardText() const { return saved_clipboard_text_; }

 private:
  void InsertOne(std::string_view text);
  void WaitForAnotherProgramInFront();
  void TypeCtrlV(bool ctrl, bool shift, bool alt);

  Desktop& desktop_;
  Timers& timers_;
  const files::Settings& settings_;
  std::string saved_clipboard_text_;
  bool inserting_ = false;
  // Texts whose insertion was asked for while another one was under way (a hotkey handled
  // while pending messages were processed); they follow it in order.
  std::deque<std::string> queued_texts_;
};

}  // namespace talvorine::desktop
