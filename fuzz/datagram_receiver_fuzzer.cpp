// Random datagram sequences from a few source addresses into the LAN receiver, with random
// answers to its questions and random save targets, some of them arriving while a message box is
// open, and file ends with and without a file check. Checks that a name proposed for saving never
// leads out of the folder the user picks, and that a check read back is the trailer it came
// from. Runs in a temporary working directory of its own, where ".\recv.tmp" is written.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/error_record.h"
#include "common/cp932.h"
#include "files/dialogs.h"
#include "files/settings.h"
#include "lan/datagram.h"
#include "lan/file_check.h"
#include "lan/host_network.h"
#include "lan/lan_desktop.h"
#include "lan/lan_view.h"
#include "lan/receiver.h"

namespace {

using namespace talvorine;

constexpr std::string_view kSources[] = {"192.168.1.10", "192.168.1.11", "10.0.0.1", "127.0.0.1"};
constexpr std::string_view kTokens[] = {"FS:", "FL:", "FE:", "CB:", "fs:", "Fe:"};
constexpr std::string_view kSaveTargets[] = {"saved.bin", ".\\recv.tmp", "missing\\saved.bin",
                                             ".\\"};

// Reads the fuzz input as records: a control byte, a 2-byte length, that many bytes.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  struct Record {
    std::uint8_t control = 0;
    std::string bytes;
  };

  std::optional<Record> Next() {
    if (at_ + 3 > size_) {
      return std::nullopt;
    }
    Record record;
    record.control = data_[at_];
    std::size_t length = data_[at_ + 1] | (static_cast<std::size_t>(data_[at_ + 2]) << 8);
    at_ += 3;
    length %= 2300;  // past the receive limit now and then
    if (record.control & 0x40) {
      record.bytes = kTokens[(record.control >> 3) % std::size(kTokens)];
    }
    const std::size_t take = length < size_ - at_ ? length : size_ - at_;
    record.bytes.append(reinterpret_cast<const char*>(data_ + at_), take);
    at_ += take;
    return record;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// A proposed name holds no separator (outside double-byte characters, whose second byte may be
// 0x5C) and is neither "." nor "..".
void CheckProposedName(std::string_view name) {
  if (name == "." || name == "..") {
    abort();
  }
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (talvorine::IsCp932LeadByte(byte)) {
      ++i;
    } else if (byte == '\\' || byte == '/' || byte == ':') {
      abort();
    }
  }
}

// Whatever the bytes after an end's first zero byte, a check read from them is exactly the
// trailer that check makes.
void CheckTrailerReading(std::string_view datagram) {
  const lan::DatagramView view = lan::ReadDatagram(datagram);
  const auto check = lan::ReadFileCheck(view.payload);
  if (check) {
    const std::string_view after_zero = view.payload.substr(view.payload.find('\0'));
    if (lan::FileCheckTrailer(*check) != after_zero) {
      abort();
    }
  }
}

class NullView : public lan::LanView {
 public:
  void SetEdit1Text(std::string_view) override {}
  void SetIPaddrText(std::string_view) override {}
  void ShowSendForm() override {}
  void HideSendForm() override {}
  void SetLabel2Caption(std::string_view) override {}
  void SetProgressBar1Max(std::uint64_t) override {}
  void SetProgressBar1Position(std::uint64_t) override {}
  void StartTrayAnimation() override {}
  void StopTrayAnimation() override {}
};

class Host : public lan::HostNetwork {
 public:
  std::string HostName() override { return "FUZZ"; }
  std::optional<std::string> OwnAddress() override { return std::nullopt; }
  std::optional<std::string> FirstAddressTableMask() override { return std::nullopt; }
};

class NullRecord : public ErrorRecord {
 public:
  void AddLine(std::string_view) override {}
  std::string Text() const override { return {}; }
};

// Answers and targets come from the control byte of the datagram being handled; a box may let
// the next datagram in, as a message box's own message loop does.
class Peer : public lan::LanDesktop, public files::Dialogs {
 public:
  desktop::MessageBoxResult ShowMessageBox(std::string_view, std::string_view,
                                           desktop::MessageBoxStyle style) override {
    if ((control & 0x80) && feed_next) {
      feed_next();
    }
    if (style == desktop::MessageBoxStyle::kYesNoInformation ||
        style == desktop::MessageBoxStyle::kYesNoWarningNo) {
      return (control & 0x04) ? desktop::MessageBoxResult::kYes : desktop::MessageBoxResult::kNo;
    }
    return desktop::MessageBoxResult::kOk;
  }
  void BringApplicationToFront() override {}
  void Sleep(std::uint32_t) override {}
  void ProcessPendingMessages() override {}

  std::optional<std::string> RunFileDialog(files::FileDialogId,
                                           std::string_view initial_name) override {
    CheckProposedName(initial_name);
    if (control & 0x20) {
      return std::nullopt;
    }
    return std::string(kSaveTargets[(control >> 1) % std::size(kSaveTargets)]);
  }
  std::optional<std::string> InputQuery(std::string_view, std::string_view, std::string_view,
                                        int) override {
    return std::nullopt;
  }

  std::uint8_t control = 0;
  std::function<void()> feed_next;
};

char working_dir[] = "/tmp/talvorine-datagram-fuzz-XXXXXX";

void RemoveWorkingDir() {
  std::error_code ignored;
  std::filesystem::remove_all(working_dir, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (mkdtemp(working_dir) == nullptr || chdir(working_dir) != 0) {
    abort();
  }
  std::atexit(RemoveWorkingDir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  files::Settings settings;
  settings.CkNWUse = true;
  Host host;
  Peer peer;
  NullView view;
  NullRecord record;
  // A small limit, so that dropping an oversized reception is reached too.
  lan::Receiver receiver(settings, host, peer, peer, view, record,
                         lan::ReceiverLimits{64 * 1024, 64});
  Input input(data, size);

  auto deliver = [&](const Input::Record& next) {
    peer.control = next.control;
    if ((next.control & 0x1B) == 0x1B) {
      settings.CkNWUse = !settings.CkNWUse;
    }
    std::string_view bytes = next.bytes;
    // Own file ends now and then, so the "sent" branch is reached.
    std::string own;
    if ((next.control & 0x47) == 0x47 && next.bytes.rfind("FE:", 0) == 0) {
      own = "FE:FUZZ:" + next.bytes.substr(3);
      bytes = own;
    }
    // File ends with a trailer now and then: whole when the control byte says so (the check of
    // nothing, for a reception without chunks), otherwise a check taken from the input.
    std::string checked;
    if ((next.control & 0x0C) == 0x08 && bytes.substr(0, 3) == "FE:") {
      lan::FileCheck check;
      if (bytes.size() >= 11) {
        check.size = static_cast<unsigned char>(bytes[3]) % 3 * 250;
        check.crc32 = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[4])) << 24 |
                      static_cast<unsigned char>(bytes[5]);
      }
      checked = std::string(bytes.substr(0, bytes.find('\0'))) + lan::FileCheckTrailer(check);
      bytes = checked;
    }
    CheckTrailerReading(bytes);
    receiver.IdUDPServer1UDPRead(bytes, kSources[next.control & 0x03]);
    // A reception always has its sender's address, and only a reception has one.
    if (receiver.IsReceiving() == receiver.RecvSenderAddress().empty()) {
      abort();
    }
  };
  peer.feed_next = [&] {
    if (auto next = input.Next()) {
      deliver(*next);
    }
  };
  while (auto next = input.Next()) {
    deliver(*next);
  }
  return 0;
}
