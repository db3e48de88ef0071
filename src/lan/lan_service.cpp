#include "lan/lan_service.h"

#include <algorithm>

#include "common/error.h"
#include "lan/broadcast_address.h"

namespace talvorine::lan {

namespace {

constexpr int kBasePort = 5504;
constexpr int kFirstChannel = 1;
constexpr int kLastChannel = 50;

}  // namespace

std::uint16_t PortOfChannel(int channel) {
  return static_cast<std::uint16_t>(kBasePort + std::clamp(channel, kFirstChannel, kLastChannel));
}

LanService::LanService(files::Settings& settings, UdpEndpoint& endpoint, HostNetwork& host,
                       LanView& view)
    : settings_(settings),
      endpoint_(endpoint),
      host_(host),
      view_(view),
      listen_port_(PortOfChannel(kFirstChannel)) {}

void LanService::Timer2Timer() {
  if (!settings_.CkNWUse) {
    endpoint_.Close();
    return;
  }
  DetermineBroadcastAddress();
  listen_port_ = PortOfChannel(settings_.NWChannel);
  // Peers that change the channel expect to hear the new one, not only to send on it.
  if (endpoint_.IsOpen() && endpoint_.Port() != listen_port_) {
    endpoint_.Close();
  }
  endpoint_.Open(listen_port_);
}

void LanService::DetermineBroadcastAddress() {
  if (!settings_.IPaddr.empty()) {
    broadcast_address_ = settings_.IPaddr;
    return;
  }
  const auto own = host_.OwnAddress();
  if (own) {
    if (const auto mask = host_.FirstAddressTableMask()) {
      if (auto address = BroadcastAddressOf(*own, *mask)) {
        broadcast_address_ = std::move(*address);
      }
    }
  }
  if (!broadcast_address_.empty()) {
    settings_.IPaddr = broadcast_address_;
    view_.SetIPaddrText(broadcast_address_);
  }
}

void LanService::SendDatagram(std::string_view datagram) {
  if (broadcast_address_.empty()) {
    // An empty host would leave it to the socket layer where the datagram goes.
    throw Error("送信先のアドレスが決まっていません");
  }
  if (!endpoint_.IsOpen()) {
    endpoint_.Open(listen_port_);
  }
  endpoint_.Send(broadcast_address_, PortOfChannel(settings_.NWChannel), datagram);
}

}  // namespace talvorine::lan
