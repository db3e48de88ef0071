#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/error_record.h"
#include "files/dialogs.h"
#include "files/settings.h"
#include "lan/datagram.h"
#include "lan/file_check.h"
#include "lan/host_network.h"
#include "lan/lan_desktop.h"
#include "lan/lan_view.h"
#include "lan/question_limit.h"

namespace talvorine::lan {

// The temporary file of a file being received, in the working directory.
inline constexpr std::string_view kRecvTempFile = ".\\recv.tmp";

// The receiver's messages.
inline constexpr std::string_view kSentText = "送信完了しました。";
inline constexpr std::string_view kSentCaption = "ファイル送信";
inline constexpr std::string_view kSaveQuestion = "%s からファイルが届きました。保存しますか？";
inline constexpr std::string_view kSaveCaption = "到着ファイルの保存";
inline constexpr std::string_view kSavedText = "保存完了しました。";
inline constexpr std::string_view kSavedCaption = "ファイル受信";
inline constexpr std::string_view kNotSavedText = "ファイル %s を保存できませんでした。";
// Asked instead of kSaveQuestion, with No as the default, when the sender's check shows that
// bytes were lost on the way: host name, bytes sent, bytes received.
inline constexpr std::string_view kIncompleteQuestion =
    "%s からファイルが届きましたが、不完全です（%s バイト中 %s バイトを受信）。"
    "それでも保存しますか？";
// The same when as many bytes came as were sent but not the same ones: host name, bytes.
inline constexpr std::string_view kAlteredQuestion =
    "%s からファイルが届きましたが、内容が送信元と一致しません（%s バイト）。"
    "それでも保存しますか？";
// Record lines: an incomplete or altered file, and a reception dropped without a question.
inline constexpr std::string_view kIncompleteRecord = "受信ファイル不完全：";
inline constexpr std::string_view kDroppedRecord = "受信ファイル破棄：";

struct ReceiverLimits {
  // A reception that grows past this is dropped, so no peer can fill the disk.
  std::uint64_t max_file_bytes = std::uint64_t{1} << 30;
  // Datagrams that arrive while one is being handled (a message box is open) wait here, as
  // they would in the socket's queue; beyond this many they are lost, as there.
  std::size_t max_waiting_datagrams = 4096;
  // Completed receptions from one source address offered in any minute; those beyond are
  // recorded and dropped.
  std::size_t receptions_per_minute = kReceptionsPerMinute;
};

// How a received file compares with the check its sender put after the path of "FE".
enum class ReceivedFile {
  kWhole,      // size and CRC-32 agree
  kDamaged,    // they do not: bytes were lost, doubled or changed on the way
  kUnchecked,  // the sender sent no check (a peer of an earlier version)
};

// Compares what came (its size and CRC-32) with the sender's check, if there is one.
ReceivedFile CompareWithCheck(const FileCheck& received, const std::optional<FileCheck>& sent);

// The name proposed when a received file is saved: the last part of the sender's path (after
// its last "\", "/" or ":", read as cp932), so that a peer cannot steer the save into another
// folder. Empty for a path that ends in a separator, ".", or "..".
std::string ProposedSaveName(std::string_view sender_path);

// The receive side of LAN sharing: "CB" fills the paste buffer, "FS", "FL"..., "FE" from one
// source address write ".\recv.tmp", which at the end is either the receiver's own transfer
// (announced as sent) or offered to the user to save.
class Receiver {
 public:
  Receiver(const files::Settings& settings, HostNetwork& host, LanDesktop& desktop,
           files::Dialogs& dialogs, LanView& view, ErrorRecord& record,
           ReceiverLimits limits = {},
           std::function<ReceptionLimit::Clock::time_point()> now = ReceptionLimit::Clock::now);
  ~Receiver();
  Receiver(const Receiver&) = delete;
  Receiver& operator=(const Receiver&) = delete;

  // One datagram from the endpoint, with its source IPv4 address. Ignored while CkNWUse is
  // off; otherwise recorded in the error record and acted on. Never raises. A datagram that
  // arrives while another is handled (from inside a message box) is handled after it.
  void IdUDPServer1UDPRead(std::string_view datagram, std::string_view source_address);

  // The text the paste hotkey inserts: the last one received or handed over.
  const std::string& PasteBuffer() const { return paste_buffer_; }
  void SetPasteBuffer(std::string text) { paste_buffer_ = std::move(text); }

  bool IsReceiving() const { return state_ == ReceiveState::kReceiving; }
  // Empty when no reception is in progress.
  const std::string& RecvSenderAddress() const { return recv_sender_address_; }

 private:
  enum class ReceiveState { kIdle, kReceiving };
  struct WaitingDatagram {
    std::string bytes;
    std::string source_address;
  };
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  void Handle(std::string_view datagram, std::string_view source_address);
  void OnText(const DatagramView& datagram);
  void OnFileStart(const DatagramView& datagram, std::string_view source_address);
  void OnFileChunk(const DatagramView& datagram, std::string_view source_address);
  void OnFileEnd(const DatagramView& datagram, std::string_view source_address);
  bool IsFromSender(std::string_view source_address) const;
  // Closes the temporary file and forgets the reception.
  void EndReception();
  void DropReception();
  void OfferToSave(std::string_view host_name, std::string_view sender_path,
                   std::string_view source_address, const FileCheck& received,
                   const std::optional<FileCheck>& sent);
  // Copies the temporary file to the chosen one; false when it could not be done.
  bool SaveReceivedFile(std::string_view chosen) const;

  const files::Settings& settings_;
  HostNetwork& host_;
  LanDesktop& desktop_;
  files::Dialogs& dialogs_;
  LanView& view_;
  ErrorRecord& record_;
  ReceiverLimits limits_;
  std::function<ReceptionLimit::Clock::time_point()> now_;
  ReceptionLimit reception_limit_;

  std::string paste_buffer_;
  ReceiveState state_ = ReceiveState::kIdle;
  std::unique_ptr<std::FILE, FileCloser> recv_temp_file_;
  std::string recv_file_name_;
  std::string recv_sender_address_;
  std::uint64_t received_bytes_ = 0;
  Crc32 received_crc_;

  bool handling_ = false;
  std::deque<WaitingDatagram> waiting_;
};

}  // namespace talvorine::lan
