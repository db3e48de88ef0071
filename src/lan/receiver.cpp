#include "lan/receiver.h"

#include <filesystem>
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

Receiver::Receiver(const files::Settings& settings, HostNetwork& host, LanDesktop& desktop,
                   files::Dialogs& dialogs, LanView& view, ErrorRecord& record,
                   ReceiverLimits limits)
    : settings_(settings),
      host_(host),
      desktop_(desktop),
      dialogs_(dialogs),
      view_(view),
      record_(record),
      limits_(limits) {}

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
  EndReception();
  const std::string sender_path = std::move(recv_file_name_);
  recv_file_name_.clear();
  const std::string host_name(ReadFileHeader(datagram.payload).host_name);
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
  OfferToSave(host_name, sender_path);
}

void Receiver::OfferToSave(std::string_view host_name, std::string_view sender_path) {
  bool keep_temp_file = false;
  try {
    desktop_.BringApplicationToFront();
    const MessageBoxResult answer =
        desktop_.ShowMessageBox(FormatMessageText(kSaveQuestion, host_name), kSaveCaption,
                                MessageBoxStyle::kYesNoInformation);
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
