#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "common/error_record.h"
#include "files/dialogs.h"
#include "lan/host_network.h"
#include "lan/lan_desktop.h"
#include "lan/lan_view.h"
#include "lan/posix/posix_udp_endpoint.h"

namespace talvorine::tools {

// Terminal text is UTF-8 and the core's is cp932: every line printed goes through here.
// Backslash, CR and LF become \\, \r and \n, so one event is always one line; every other
// control character becomes \xHH (below 0x20 and 0x7F) or \u00HH (U+0080 to U+009F), so
// nothing a peer sends reaches the terminal as a control.
std::string TerminalLine(std::string_view cp932_text);
void PrintLine(std::FILE* stream, std::string_view utf8_line);

// Where received files go: a folder given on the command line, or the terminal's answers.
class TerminalDialogs : public files::Dialogs {
 public:
  // save_dir: UTF-8, empty to ask; a file saved there keeps to that folder, and replaces a file
  // of the same name only with overwrite (else it gets a free name). file_to_send: the cp932
  // path send-file chose.
  TerminalDialogs(std::string save_dir, bool overwrite, std::string file_to_send);

  std::optional<std::string> RunFileDialog(files::FileDialogId id,
                                           std::string_view initial_name) override;
  std::optional<std::string> InputQuery(std::string_view, std::string_view, std::string_view,
                                        int) override {
    return std::nullopt;
  }

  bool asks() const { return save_dir_.empty(); }
  // The last path chosen for saving (cp932), to name it when the save is reported.
  const std::string& last_chosen() const { return last_chosen_; }

 private:
  std::string save_dir_;
  bool overwrite_;
  std::string file_to_send_;
  std::string last_chosen_;
};

// The receiver's boxes become output lines (and the save question a prompt, or a yes when a
// save folder was given); the pauses are real; the message pump reads the endpoint.
class TerminalDesktop : public lan::LanDesktop {
 public:
  TerminalDesktop(TerminalDialogs& dialogs, lan::PosixUdpEndpoint& endpoint)
      : dialogs_(dialogs), endpoint_(endpoint) {}

  desktop::MessageBoxResult ShowMessageBox(std::string_view text, std::string_view caption,
                                           desktop::MessageBoxStyle style) override;
  void BringApplicationToFront() override {}
  void Sleep(std::uint32_t milliseconds) override;
  void ProcessPendingMessages() override { endpoint_.ReceivePending(); }

 private:
  TerminalDialogs& dialogs_;
  lan::PosixUdpEndpoint& endpoint_;
};

// Prints the received texts; a terminal has no windows for the rest.
class TerminalView : public lan::LanView {
 public:
  void SetEdit1Text(std::string_view text) override;
  void SetIPaddrText(std::string_view) override {}
  void ShowSendForm() override {}
  void HideSendForm() override {}
  void SetLabel2Caption(std::string_view) override {}
  void SetProgressBar1Max(std::uint64_t) override {}
  void SetProgressBar1Position(std::uint64_t) override {}
  void StartTrayAnimation() override {}
  void StopTrayAnimation() override {}
};

// The error record of a terminal peer. The receiver logs every datagram here, which a terminal
// does not want to see; the sender's failures ("Err:FL" and the like) go to standard error.
class TerminalRecord : public ErrorRecord {
 public:
  explicit TerminalRecord(bool report_failures) : report_failures_(report_failures) {}
  void AddLine(std::string_view text) override;
  std::string Text() const override { return {}; }
  int failures() const { return failures_; }

 private:
  bool report_failures_;
  int failures_ = 0;
};

// The system's host network with the host name replaced when one was given.
class NamedHostNetwork : public lan::HostNetwork {
 public:
  NamedHostNetwork(lan::HostNetwork& system, std::string host_name)
      : system_(system), host_name_(std::move(host_name)) {}
  std::string HostName() override { return host_name_.empty() ? system_.HostName() : host_name_; }
  std::optional<std::string> OwnAddress() override { return system_.OwnAddress(); }
  std::optional<std::string> FirstAddressTableMask() override {
    return system_.FirstAddressTableMask();
  }

 private:
  lan::HostNetwork& system_;
  std::string host_name_;
};

}  // namespace talvorine::tools
