#include "lan/receiver.h"

#include <filesystem>
#include <initializer_list>
#include <string>
#include <system_error>

#include "common/cp932.h"
#include "common/encoding.h"
#include "common/error.h"
#include "common/system_file.h"

namespace talvorine::lan {

using desktop::MessageBoxResult;
using desktop::MessageBoxStyle;

namespace {

// The system's name of a cp932 path, to ask whether two paths name one file. Backslashes are
// separators of the program's fixed names (".\recv.tmp"), also on Linux.
std::filesystem::path SystemPathOf(std::string_view cp932_path) {
  std::string utf8 = Cp932ToUtf8(cp932_path);
#ifndef _WIN32
  for (char& c : utf8) {
    if (c == '\\') {
      c = '/';
    }
  }
#endif
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool NameTheSameFile(std::string_view a, std::string_view b) {
  std::error_code error;
  return std::filesystem::equivalent(SystemPathOf(a), SystemPathOf(b), error) && !error;
}

// A pattern's "%s" replaced by the arguments in turn; an argument's own "%s" stays as it is.
std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
  std::string text;
  auto argument = arguments.begin();
  for (std::size_t at = 0; at < pattern.size();) {
    const std::size_t mark = pattern.find("%s", at);
    if (mark == std::string_view::npos || argument == arguments.end()) {
      text += pattern.substr(at);
      break;
    }
    text += pattern.substr(at, mark - at);
    text += *argument++;
    at = mark + 2;
  }
  return text;
}

// "PC-B（192.168.1.50）の C:\a.txt": who sent which file, for a record line.
std::string ReceptionText(std::string_view host_name, std::string_view source_address,
                          std::string_view sender_path) {
  return FillIn("%s（%s）の %s", {host_name, source_address, sender_path});
}

}  // namespace

std::string ProposedSaveName(std::string_view sender_path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < sender_path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(sender_path[i]);
    if (IsCp932LeadByte(byte)) {
      ++i;  // its second byte may be 0x5C and is no separator
    } else if (byte == '\\' || byte == '/' || byte == ':') {
      start = i + 1;
    }
  }
  std::string name(sender_path.substr(std::min(start, sender_path.size())));
  if (name == "." || name == "..") {
    name.clear();
  }
  return name;
}

ReceivedFile CompareWithCheck(const FileCheck& received, const std::optional<FileCheck>& sent) {
  if (!sent) {
    return ReceivedFile::kUnchecked;
  }
  return received == *sent ? ReceivedFile::kWhole : ReceivedFile::kDamaged;
}

Receiver::Receiver(const files::Settings& settings, HostNetwork& host, LanDesktop& desktop,
                   files::Dialogs& dialogs, LanView& view, ErrorRecord& record,
                   ReceiverLimits limits, std::function<ReceptionLimit::Clock::time_point()> now)
    : settings_(settings),
      host_(host),
      desktop_(desktop),
      dialogs_(dialogs),
      view_(view),
      record_(record),
      limits_(limits),
      now_(std::move(now)),
      reception_limit_(limits.receptions_per_minute) {}

Receiver::~Receiver() = default;

void Receiver::IdUDPServer1UDPRead(std::string_view datagram, std::string_view source_address) {
  if (handling_) {
    if (waiting_.size() < limits_.max_waiting_datagrams) {
      waiting_.push_back(
          {std::string(datagram.substr(0, kReceiveLimit)), std::string(source_address)});
    }
    return;
  }
  // Whatever happens, the next datagram must be handled again, not queued for ever.
  struct HandlingScope {
    bool& handling;
    explicit HandlingScope(bool& flag) : handling(flag) { handling = true; }
    ~HandlingScope() { handling = false; }
  } scope(handling_);
  Handle(datagram, source_address);
  while (!waiting_.empty()) {
    const WaitingDatagram next = std::move(waiting_.front());
    waiting_.pop_front();
    Handle(next.bytes, next.source_address);
  }
}

void Receiver::Handle(std::string_view bytes, std::string_view source_address) {
  if (!settings_.CkNWUse) {
    return;
  }
  // A failure while handling one datagram must not cost the next one.
  try {
    const DatagramView datagram = ReadDatagram(bytes);
    record_.AddLine(TextUpToZero(datagram.raw));
    switch (datagram.kind) {
      case DatagramKind::kText:
        OnText(datagram);
        break;
      case DatagramKind::kFileStart:
        OnFileStart(datagram, source_address);
        break;
      case DatagramKind::kFileChunk:
        OnFileChunk(datagram, source_address);
        break;
      case DatagramKind::kFileEnd:
        OnFileEnd(datagram, source_address);
        break;
      case DatagramKind::kOther:
        break;
    }
  } catch (const std::exception&) {
  }
}

void Receiver::OnText(const DatagramView& datagram) {
  paste_buffer_ = std::string(TextUpToZero(datagram.payload));
  view_.SetEdit1Text(paste_buffer_);
}

void Receiver::OnFileStart(const DatagramView& datagram, std::string_view source_address) {
  switch (state_) {
    case ReceiveState::kIdle:
      break;
    case ReceiveState::kReceiving:
      // A newer transfer replaces the one in progress.
      DropReception();
      break;
  }
  recv_temp_file_.reset(OpenSystemFile(kRecvTempFile, "w+b"));
  if (!recv_temp_file_) {
    // Stay idle, so that the next "FS" tries again.
    return;
  }
  recv_file_name_ = std::string(ReadFileHeader(datagram.payload).path);
  recv_sender_address_ = std::string(source_address);
  received_bytes_ = 0;
  received_crc_ = Crc32();
  state_ = ReceiveState::kReceiving;
}

bool Receiver::IsFromSender(std::string_view source_address) const {
  return source_address == recv_sender_address_;
}

void Receiver::OnFileChunk(const DatagramView& datagram, std::string_view source_address) {
  switch (state_) {
    case ReceiveState::kIdle:
      return;
    case ReceiveState::kReceiving:
      break;
  }
  if (!IsFromSender(source_address)) {
    return;
  }
  const std::string_view data = ChunkData(datagram);
  if (data.empty()) {
    return;
  }
  if (data.size() > limits_.max_file_bytes - received_bytes_) {
    DropReception();
    return;
  }
  // A failed write is not retried: like a lost chunk, its bytes are missing from the file.
  std::fwrite(data.data(), 1, data.size(), recv_temp_file_.get());
  received_bytes_ += data.size();
  received_crc_.Add(data);
}

void Receiver::OnFileEnd(const DatagramView& datagram, std::string_view source_address) {
  switch (state_) {
    case ReceiveState::kIdle:
      return;
    case ReceiveState::kReceiving:
      break;
  }
  if (!IsFromSender(source_address)) {
    return;
  }
  const FileCheck received{received_bytes_, received_crc_.Value()};
  EndReception();
  const std::string sender_path = std::move(recv_file_name_);
  recv_file_name_.clear();
  const std::string host_name(ReadFileHeader(datagram.payload).host_name);
  if (!reception_limit_.Admit(source_address, now_())) {
    // One source that keeps completing receptions would keep the user answering questions.
    RemoveSystemFile(kRecvTempFile);
    record_.AddLine(
        std::string(kDroppedRecord) + ReceptionText(host_name, source_address, sender_path) +
        FillIn("、1 分間に %s 件を超えました", {std::to_string(limits_.receptions_per_minute)}));
    return;
  }
  std::string own_host_name;
  try {
    own_host_name = host_.HostName();
  } catch (const std::exception&) {
    RemoveSystemFile(kRecvTempFile);
    return;
  }
  if (host_name == own_host_name) {
    RemoveSystemFile(kRecvTempFile);
    desktop_.ShowMessageBox(kSentText, kSentCaption, MessageBoxStyle::kOkInformation);
    return;
  }
  OfferToSave(host_name, sender_path, source_address, received, ReadFileCheck(datagram.payload));
}

void Receiver::OfferToSave(std::string_view host_name, std::string_view sender_path,
                           std::string_view source_address, const FileCheck& received,
                           const std::optional<FileCheck>& sent) {
  std::string question = FormatMessageText(kSaveQuestion, host_name);
  MessageBoxStyle style = MessageBoxStyle::kYesNoInformation;
  switch (CompareWithCheck(received, sent)) {
    case ReceivedFile::kWhole:
    case ReceivedFile::kUnchecked:
      break;
    case ReceivedFile::kDamaged: {
      // Never offered as the file that was sent: the user is told, and No is the default.
      const std::string sent_size = std::to_string(sent->size);
      const std::string received_size = std::to_string(received.size);
      std::string what;
      if (sent->size == received.size) {
        question = FillIn(kAlteredQuestion, {host_name, sent_size});
        what = FillIn("、%s バイト、内容が送信元と一致しません", {sent_size});
      } else {
        question = FillIn(kIncompleteQuestion, {host_name, sent_size, received_size});
        what = FillIn("、%s バイト中 %s バイトを受信", {sent_size, received_size});
      }
      style = MessageBoxStyle::kYesNoWarningNo;
      record_.AddLine(std::string(kIncompleteRecord) +
                      ReceptionText(host_name, source_address, sender_path) + what);
      break;
    }
  }
  bool keep_temp_file = false;
  try {
    desktop_.BringApplicationToFront();
    const MessageBoxResult answer = desktop_.ShowMessageBox(question, kSaveCaption, style);
    if (answer == MessageBoxResult::kYes) {
      const auto chosen =
          dialogs_.RunFileDialog(files::FileDialogId::kNWRecvFile, ProposedSaveName(sender_path));
      if (chosen) {
        // Saving as the temporary file itself: the bytes are there already and must stay.
        keep_temp_file = NameTheSameFile(*chosen, kRecvTempFile);
        if (keep_temp_file || SaveReceivedFile(*chosen)) {
          desktop_.ShowMessageBox(kSavedText, kSavedCaption, MessageBoxStyle::kOkInformation);
        } else {
          desktop_.ShowMessageBox(FormatMessageText(kNotSavedText, *chosen), kSavedCaption,
                                  MessageBoxStyle::kOkInformation);
        }
      }
    }
  } catch (const std::exception&) {
  }
  if (!keep_temp_file) {
    RemoveSystemFile(kRecvTempFile);
  }
}

bool Receiver::SaveReceivedFile(std::string_view chosen) const {
  std::unique_ptr<std::FILE, FileCloser> source(OpenSystemFile(kRecvTempFile, "rb"));
  if (!source) {
    return false;
  }
  std::FILE* target = OpenSystemFile(chosen, "w+b");
  if (!target) {
    return false;
  }
  bool copied = true;
  char buffer[65536];
  std::size_t count;
  while (copied && (count = std::fread(buffer, 1, sizeof buffer, source.get())) > 0) {
    copied = std::fwrite(buffer, 1, count, target) == count;
  }
  copied = copied && !std::ferror(source.get());
  copied = std::fclose(target) == 0 && copied;
  if (!copied) {
    // A part of the file must not pass for the file.
    RemoveSystemFile(chosen);
  }
  return copied;
}

void Receiver::EndReception() {
  recv_temp_file_.reset();
  recv_sender_address_.clear();
  received_bytes_ = 0;
  state_ = ReceiveState::kIdle;
}

void Receiver::DropReception() {
  EndReception();
  recv_file_name_.clear();
  RemoveSystemFile(kRecvTempFile);
}

}  // namespace talvorine::lan
