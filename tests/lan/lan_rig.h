#pragma once

#include <string>

#include "common/error_record.h"
#include "fake_lan.h"
#include "files/settings.h"
#include "lan/file_sender.h"
#include "lan/lan_actions.h"
#include "lan/lan_desktop.h"
#include "lan/lan_service.h"
#include "lan/receiver.h"
#include "support/fake_desktop.h"

namespace talvorine::testing {

// One PC running LAN sharing over fakes, wired the way the main window wires it: the endpoint
// hands datagrams to the receiver, and each message pump of the desktop delivers what waits on
// the network.
struct LanRig {
  LanRig(FakeNetwork& network, std::string address, std::string host_name,
         lan::ReceiverLimits limits = {})
      : network(network),
        endpoint(network, std::move(address)),
        lan_desktop(desktop),
        service(settings, endpoint, host, view),
        receiver(settings, host, lan_desktop, dialogs, view, record, limits,
                 [this] { return now; }),
        sender(service, lan_desktop, dialogs, view, record),
        actions(service, receiver, sender, desktop, inserter) {
    host.host_name = std::move(host_name);
    settings.CkNWUse = true;
    endpoint.SetReceiveHandler([this](std::string_view bytes, std::string_view source) {
      receiver.IdUDPServer1UDPRead(bytes, source);
    });
    desktop.on_process_messages = [this] { this->network.DeliverAll(); };
  }

  FakeNetwork& network;
  // The receiver's clock for its limit on questions; tests move it on by hand.
  lan::ReceptionLimit::Clock::time_point now{};
  files::Settings settings;
  FakeEndpoint endpoint;
  FakeHostNetwork host;
  RecordingLanView view;
  MemoryErrorRecord record;
  FakeDesktop desktop;
  lan::LanDesktopAdapter lan_desktop;
  FakeDialogs dialogs;
  RecordingInserter inserter;
  lan::LanService service;
  lan::Receiver receiver;
  lan::FileSender sender;
  lan::LanActions actions;
};

}  // namespace talvorine::testing
