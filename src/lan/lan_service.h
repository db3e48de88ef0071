#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "files/settings.h"
#include "lan/host_network.h"
#include "lan/lan_view.h"
#include "lan/udp_endpoint.h"

namespace talvorine::lan {

// The UDP port of a channel: 5504 + channel, channels 1 to 50 (others are brought into range).
std::uint16_t PortOfChannel(int channel);

// The LAN endpoint and where datagrams go: opened and closed by Timer2, sending to the broadcast
// address of the host's network or to the address the user typed into IPaddr.
class LanService {
 public:
  // settings is the main window's live record: CkNWUse, NWChannel and IPaddr are read at each
  // use, and IPaddr is written back after an automatic determination.
  LanService(files::Settings& settings, UdpEndpoint& endpoint, HostNetwork& host, LanView& view);

  // The 500 ms tick. With CkNWUse: determine the address and make sure the endpoint listens on
  // the current channel's port (a changed channel reopens it there). Without: close it.
  // Raises when the address determination or the opening fails.
  void Timer2Timer();

  // Takes IPaddr as the broadcast address when it holds text; otherwise computes it from the
  // own address and the first address-table row's mask and shows it in IPaddr. When that cannot
  // be done the address stays as it was.
  void DetermineBroadcastAddress();

  // Sends one datagram to the broadcast address at the port of the current channel, opening the
  // endpoint at the last listening port first if it is closed. Raises talvorine::Error on
  // failure, also when no broadcast address has been determined yet.
  void SendDatagram(std::string_view datagram);

  const std::string& BroadcastAddress() const { return broadcast_address_; }
  files::Settings& settings() { return settings_; }
  HostNetwork& host() { return host_; }

 private:
  files::Settings& settings_;
  UdpEndpoint& endpoint_;
  HostNetwork& host_;
  LanView& view_;
  std::string broadcast_address_;
  std::uint16_t listen_port_;
};

}  // namespace talvorine::lan
