#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

#include "common/error_record.h"
#include "common/timers.h"
#include "desktop/desktop.h"
#include "desktop/text_inserter.h"
#include "files/settings.h"

namespace talvorine::desktop {

// The record line written when the user's clipboard was too large to be kept whole.
inline constexpr std::string_view kClipboardKeptTextOnlyLine =
    "クリップボードの内容が 64 MiB を超えたため、文字だけを元に戻します";

// Inserts text into the program that has the focus by relaying it through the clipboard
// (InsertText), and puts the user's own clipboard back a moment later when CkRecovCB asks for it
// (TmRecovCBTimer, the tick of TmRecovCB). CkRecovCB and WindowWait are read from the settings at
// every insertion.
class ClipboardRelay : public TextInserter {
 public:
  // How long a paste that follows the hiding of the candidate window waits, beyond WindowWait,
  // for another program to come to the front, and how often it looks.
  static constexpr std::uint32_t kForegroundWaitLimit = 500;
  static constexpr std::uint32_t kForegroundPollInterval = 10;

  ClipboardRelay(Desktop& desktop, Timers& timers, const files::Settings& settings,
                 ErrorRecord& record);

  // Raises Error("クリップボードを開くことができません") when the clipboard cannot be opened; no
  // key is typed then.
  void InsertText(std::string_view text, InsertAfter after) override;
  void TmRecovCBTimer();

  // The clipboard as the last insertion found it at its start (every format when CkRecovCB was
  // on, its text otherwise): the user's own, also when that insertion began while the restore
  // of an earlier one was still pending. Null at start and once a restore has put it back.
  const ClipboardSnapshot* SavedClipboard() const { return saved_clipboard_.get(); }

 private:
  struct Insertion {
    std::string text;
    InsertAfter after;
  };

  void InsertOne(std::string_view text, InsertAfter after);
  void WaitForAnotherProgramInFront();
  void TypeCtrlV(bool ctrl, bool shift, bool alt);

  Desktop& desktop_;
  Timers& timers_;
  const files::Settings& settings_;
  ErrorRecord& record_;
  std::unique_ptr<ClipboardSnapshot> saved_clipboard_;
  bool inserting_ = false;
  // Insertions asked for while another one was under way (a hotkey handled while pending
  // messages were processed); they follow it in order.
  std::deque<Insertion> queued_;
};

}  // namespace talvorine::desktop
