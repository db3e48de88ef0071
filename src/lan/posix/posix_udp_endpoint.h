#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lan/udp_endpoint.h"

namespace talvorine::lan {

// A UdpEndpoint on a POSIX socket: bound to all IPv4 addresses, broadcast allowed, non-blocking.
// There is no thread: the owner's loop waits with WaitForDatagram and hands what arrived to the
// receive handler with ReceivePending, on its own thread.
class PosixUdpEndpoint : public UdpEndpoint {
 public:
  // The largest datagram handed on; longer ones are cut to it.
  static constexpr std::size_t kReceiveSize = 8192;

  PosixUdpEndpoint() = default;
  ~PosixUdpEndpoint() override;
  PosixUdpEndpoint(const PosixUdpEndpoint&) = delete;
  PosixUdpEndpoint& operator=(const PosixUdpEndpoint&) = delete;

  // Port 0 binds a port the system chooses (a sender that does not listen).
  void Open(std::uint16_t port) override;
  void Close() override;
  bool IsOpen() const override { return socket_ >= 0; }
  std::uint16_t Port() const override { return port_; }
  void Send(std::string_view host, std::uint16_t port, std::string_view datagram) override;
  void SetReceiveHandler(ReceiveHandler handler) override { handler_ = std::move(handler); }

  // Waits until a datagram can be read or the time is up; false on time-out or when closed.
  bool WaitForDatagram(int timeout_milliseconds);
  // Hands every datagram waiting in the socket (at most max_count) to the receive handler, in
  // order; stops early when the handler closes the endpoint. Returns how many were handed on.
  std::size_t ReceivePending(std::size_t max_count = 256);

 private:
  int socket_ = -1;
  std::uint16_t port_ = 0;
  ReceiveHandler handler_;
};

}  // namespace talvorine::lan
