#pragma once

#include <cstdint>

#include "desktop/desktop.h"
#include "desktop/text_inserter.h"
#include "lan/file_sender.h"
#include "lan/lan_service.h"
#include "lan/receiver.h"

namespace talvorine::lan {

// Pause of the cut-and-hand-over sequence, so the focused program and the desktop catch up.
inline constexpr std::uint32_t kSendPauseMilliseconds = 100;

// The four LAN hotkeys.
class LanActions {
 public:
  LanActions(LanService& service, Receiver& receiver, FileSender& file_sender,
             desktop::Desktop& desktop, desktop::TextInserter& inserter);

  // Runs the action of HK_GET, HK_SET, HK_SEND or HK_FSEND; false for any other id.
  bool OnHotKey(int id);

  // HK_GET: inserts the paste buffer (also an empty one) into the focused program.
  void Paste();
  // HK_SET: the clipboard text (when there is one) becomes the paste buffer, which goes to the
  // LAN as "CB" when LAN sharing is on. Raises only when the clipboard cannot be opened at all.
  void HandOver();
  // HK_SEND: select all and cut in the focused program, then type the hand-over combination,
  // which the desktop delivers back as HK_SET. Keys the user holds are released meanwhile and
  // pressed again at the end.
  void CutAndHandOver();
  // HK_FSEND.
  void SendFile() { file_sender_.SendFile(); }

 private:
  LanService& service_;
  Receiver& receiver_;
  FileSender& file_sender_;
  desktop::Desktop& desktop_;
  desktop::TextInserter& inserter_;
};

}  // namespace talvorine::lan
