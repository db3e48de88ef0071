#include "lan/file_sender.h"

#include <exception>
#include <string>
#include <utility>

#include "common/error.h"
#include "lan/datagram.h"

namespace talvorine::lan {

FileSender::FileSender(LanService& service, LanDesktop& desktop, files::Dialogs& dialogs,
                       LanView& view, ErrorRecord& record, FileOpener open_file)
    : service_(service),
      desktop_(desktop),
      dialogs_(dialogs),
      view_(view),
      record_(record),
      open_file_(std::move(open_file)) {}

void FileSender::SendFile() {
  const auto path = dialogs_.RunFileDialog(files::FileDialogId::kSendFileDialog);
  if (!path) {
    return;
  }
  const std::unique_ptr<ByteSource> file = open_file_(*path);
  if (!file) {
    return;
  }
  const std::string host_name = service_.host().HostName();
  if (!service_.settings().CkNWUse) {
    return;
  }
  service_.DetermineBroadcastAddress();
  if (service_.BroadcastAddress().empty()) {
    // Every datagram would fail: say so once instead of once per chunk.
    throw Error("送信先のアドレスが決まっていません");
  }

  try {
    service_.SendDatagram(MakeFileStart(host_name, *path));
    view_.ShowSendForm();
  } catch (const std::exception&) {
    // Receivers that missed the start ignore the chunks; the others still get the file.
  }

  view_.SetProgressBar1Max(file->Size());
  view_.SetLabel2Caption(kSendingCaption);
  view_.StartTrayAnimation();
  bool whole = false;
  FileCheck check;
  {
    // The window and the tray icon must not go on telling of a send that has ended, however
    // it ended.
    struct ProgressScope {
      LanView& view;
      ~ProgressScope() {
        view.StopTrayAnimation();
        view.HideSendForm();
      }
    } progress{view_};
    whole = SendChunks(*file, check);
  }

  if (!whole) {
    // Without its end the incomplete file is never offered to receivers as a whole one, and
    // the sender is not told that it was sent.
    return;
  }
  try {
    service_.SendDatagram(MakeFileEnd(host_name, *path, check));
  } catch (const std::exception&) {
    record_.AddLine(kErrFE);
  }
}

bool FileSender::SendChunks(ByteSource& file, FileCheck& check) {
  std::uint64_t position = 0;
  Crc32 crc;
  for (;;) {
    const FileChunk chunk = ReadNextChunk(file);
    if (chunk.read_failed) {
      record_.AddLine(kErrRead);
    }
    position += chunk.data.size();
    crc.Add(chunk.data);
    check = {position, crc.Value()};
    view_.SetProgressBar1Position(position);
    try {
      service_.SendDatagram(MakeFileChunk(chunk.data));
    } catch (const std::exception&) {
      record_.AddLine(kErrFL);
    }
    desktop_.Sleep(kChunkPauseMilliseconds);
    desktop_.ProcessPendingMessages();
    if (!service_.settings().CkNWUse) {
      // LAN sharing was switched off meanwhile (by the user, or by a program that is ending,
      // through its close sequence or the tray's save-and-quit): nothing more may go out, and
      // the endpoint stays closed.
      return false;
    }
    if (chunk.read_failed) {
      // A read that failed once would fail again: the loop would never see the file's end.
      return false;
    }
    if (chunk.at_end) {
      return true;
    }
  }
}

}  // namespace talvorine::lan
