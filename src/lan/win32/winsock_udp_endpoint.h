#pragma once

#include <winsock2.h>

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string_view>

#include "ui/win32/window.h"
#include "lan/udp_endpoint.h"
#include "lan/win32/winsock_session.h"

namespace talvorine::win32 {

// The LAN endpoint on Winsock: one UDP socket bound on every IPv4 address of the host, broadcast
// allowed. Winsock reports arriving datagrams to a message-only window of the endpoint
// (WSAAsyncSelect, FD_READ), so the receive handler runs on the thread that made the endpoint,
// from its message loop: there is no listener thread that a message box in the handler could
// hold up, and Close never waits for anything. What waits is read in batches of a few
// milliseconds; after a batch that had to stop with more waiting, the next one starts from a
// timer, so keys, hotkeys and the program's timers are handled in between even while a flood
// of datagrams arrives (a flood costs datagrams, which the system then drops, not the keyboard).
class WinsockUdpEndpoint : public lan::UdpEndpoint, private Window {
 public:
  explicit WinsockUdpEndpoint(HandlerGuard& guard);
  ~WinsockUdpEndpoint() override;

  void Open(std::uint16_t port) override;
  void Close() override;
  bool IsOpen() const override { return socket_ != INVALID_SOCKET; }
  std::uint16_t Port() const override { return port_; }
  void Send(std::string_view host, std::uint16_t port, std::string_view datagram) override;
  void SetReceiveHandler(ReceiveHandler handler) override { handler_ = std::move(handler); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) override;

 private:
  static constexpr UINT kSocketMessage = WM_APP + 40;
  static constexpr UINT_PTR kNextBatchTimer = 1;
  // Room for the largest UDP datagram, so none fails the read for its length (the protocol's
  // are far shorter).
  static constexpr int kReceiveSize = 65536;
  // How long one batch may read and handle datagrams: a fraction of a frame.
  static constexpr std::chrono::milliseconds kBatchBudget{8};

  // Reads and hands on what waits until nothing does or the budget is spent; in that case the
  // next batch is due on the timer.
  void ReadBatch(SOCKET socket);

  bool next_batch_due_ = false;
  WinsockSession winsock_;
  SOCKET socket_ = INVALID_SOCKET;
  std::uint16_t port_ = 0;
  ReceiveHandler handler_;
};

}  // namespace talvorine::win32
