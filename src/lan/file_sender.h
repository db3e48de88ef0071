#pragma once

#include <cstdint>
#include <string_view>

#include "common/error_record.h"
#include "files/dialogs.h"
#include "lan/file_check.h"
#include "lan/file_chunks.h"
#include "lan/lan_desktop.h"
#include "lan/lan_service.h"
#include "lan/lan_view.h"

namespace talvorine::lan {

inline constexpr std::string_view kSendingCaption = "ファイル送信中・・・";
inline constexpr std::string_view kErrRead = "Err:read";
inline constexpr std::string_view kErrFL = "Err:FL";
inline constexpr std::string_view kErrFE = "Err:FE";
// Between two chunks, so receivers keep up and the sender's window stays alive.
inline constexpr std::uint32_t kChunkPauseMilliseconds = 20;

// The file send of the file-send hotkey: the user chooses a file, which goes to the LAN as "FS",
// one "FL" per 250 bytes (and one more at the end), "FE" with the size and CRC-32 of the bytes
// sent behind its path, with SendForm showing the progress.
class FileSender {
 public:
  FileSender(LanService& service, LanDesktop& desktop, files::Dialogs& dialogs, LanView& view,
             ErrorRecord& record, FileOpener open_file = OpenFileToSend);

  // Runs the whole send; returns when "FE" has gone out. Raises when the host name or the
  // broadcast address cannot be had (nothing has been sent then); send and read failures are
  // recorded as "Err:FL", "Err:FE", "Err:read". Pending messages are handled after every chunk,
  // so this may be re-entered. LAN sharing switched off meanwhile ends the send there, without
  // "FE".
  void SendFile();

 private:
  // Sends the chunks with their pauses and adds what was read to the check; false when reading
  // the file failed or LAN sharing was switched off.
  bool SendChunks(ByteSource& file, FileCheck& check);

  LanService& service_;
  LanDesktop& desktop_;
  files::Dialogs& dialogs_;
  LanView& view_;
  ErrorRecord& record_;
  FileOpener open_file_;
};

}  // namespace talvorine::lan
