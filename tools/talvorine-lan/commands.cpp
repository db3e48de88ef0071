#include "commands.h"

#include <csignal>
#include <exception>
#include <filesystem>
#include <string>

#include "common/encoding.h"
#include "files/settings.h"
#include "lan/datagram.h"
#include "lan/file_chunks.h"
#include "lan/file_sender.h"
#include "lan/lan_service.h"
#include "lan/posix/posix_host_network.h"
#include "lan/posix/posix_udp_endpoint.h"
#include "lan/receiver.h"
#include "terminal_peer.h"

namespace talvorine::tools {

namespace {

volatile std::sig_atomic_t stop_requested = 0;

void RequestStop(int) {
  stop_requested = 1;
}

// One peer: the settings its command line gives and the core over the POSIX endpoint.
struct Peer {
  Peer(const Options& options, std::string file_to_send)
      : host(system_host, Utf8ToCp932(options.host_name)),
        dialogs(options.save_dir, options.overwrite, std::move(file_to_send)),
        desktop(dialogs, endpoint),
        record(options.command != Command::kListen),
        service(settings, endpoint, host, view) {
    settings.CkNWUse = true;
    settings.NWChannel = options.channel;
    settings.IPaddr = options.to;
  }

  // Fixes the destination; false (with a message) when there is none.
  bool DetermineDestination() {
    service.DetermineBroadcastAddress();
    if (service.BroadcastAddress().empty()) {
      PrintLine(stderr, "no broadcast address: no non-loopback IPv4 interface; use --to ADDRESS");
      return false;
    }
    return true;
  }

  // A sender does not listen: it sends from a port of the system's choice, so that a listener
  // on the same machine keeps the channel's port.
  void OpenForSending() { endpoint.Open(0); }

  files::Settings settings;
  lan::PosixUdpEndpoint endpoint;
  lan::PosixHostNetwork system_host;
  NamedHostNetwork host;
  TerminalDialogs dialogs;
  TerminalDesktop desktop;
  TerminalView view;
  TerminalRecord record;
  lan::LanService service;
};

void Report(const std::exception& error) {
  PrintLine(stderr, "error: " + TerminalLine(error.what()));
}

}  // namespace

int RunListen(const Options& options) {
  Peer peer(options, {});
  lan::Receiver receiver(peer.settings, peer.host, peer.desktop, peer.dialogs, peer.view,
                         peer.record);
  peer.endpoint.SetReceiveHandler([&](std::string_view datagram, std::string_view source) {
    receiver.IdUDPServer1UDPRead(datagram, source);
  });
  try {
    peer.endpoint.Open(lan::PortOfChannel(options.channel));
  } catch (const std::exception& error) {
    Report(error);
    return 1;
  }
  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
  PrintLine(stdout, "listening on channel " + std::to_string(options.channel) + ", port " +
                        std::to_string(peer.endpoint.Port()));
  while (!stop_requested) {
    if (peer.endpoint.WaitForDatagram(200)) {
      peer.endpoint.ReceivePending();
    }
  }
  return 0;
}

int RunSendText(const Options& options) {
  Peer peer(options, {});
  try {
    if (!peer.DetermineDestination()) {
      return 1;
    }
    peer.OpenForSending();
    const std::string text = Utf8ToCp932(options.argument);
    peer.service.SendDatagram(lan::MakeTextDatagram(text));
    PrintLine(stdout, "sent text: " + TerminalLine(text));
  } catch (const std::exception& error) {
    Report(error);
    return 1;
  }
  return 0;
}

int RunSendFile(const Options& options) {
  std::error_code ignored;
  // Announced as the full path, as a file dialog gives it.
  const std::filesystem::path absolute = std::filesystem::absolute(options.argument, ignored);
  const std::string path = Utf8ToCp932(absolute.empty() ? options.argument : absolute.string());
  if (!lan::OpenFileToSend(path)) {
    PrintLine(stderr, "error: cannot open " + options.argument);
    return 1;
  }
  Peer peer(options, path);
  lan::FileSender sender(peer.service, peer.desktop, peer.dialogs, peer.view, peer.record);
  try {
    if (!peer.DetermineDestination()) {
      return 1;
    }
    peer.OpenForSending();
    sender.SendFile();
  } catch (const std::exception& error) {
    Report(error);
    return 1;
  }
  if (peer.record.failures() > 0) {
    return 1;
  }
  PrintLine(stdout, "sent file: " + TerminalLine(path));
  return 0;
}

}  // namespace talvorine::tools
