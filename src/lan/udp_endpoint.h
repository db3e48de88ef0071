#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace talvorine::lan {

// The one UDP endpoint of LAN sharing: it listens on the channel's port and sends every datagram.
// Datagrams are delivered on the main thread, one call per datagram, never while another call of
// the receive handler is still running on the same stack unless the handler itself lets messages
// be handled (a message box, a message pump).
class UdpEndpoint {
 public:
  // datagram: the bytes as they arrived; source_address: the sender's IPv4 address, dotted.
  using ReceiveHandler =
      std::function<void(std::string_view datagram, std::string_view source_address)>;

  virtual ~UdpEndpoint() = default;

  // Binds all local IPv4 addresses at the port, allows broadcast sending and starts delivering.
  // Peers on one machine share the port, and each hears every broadcast to it. Does nothing when
  // the endpoint is open already. Raises talvorine::Error on failure (the port is held by a
  // program that does not share it, for instance); the endpoint then stays closed.
  virtual void Open(std::uint16_t port) = 0;
  // Stops delivering and closes the socket; does nothing when closed. May be called from inside
  // the receive handler.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // The port the endpoint is bound to while open.
  virtual std::uint16_t Port() const = 0;
  // Sends one datagram to a dotted IPv4 address (no name lookup). Raises talvorine::Error on
  // failure, also when the endpoint is closed.
  virtual void Send(std::string_view host, std::uint16_t port, std::string_view datagram) = 0;
  virtual void SetReceiveHandler(ReceiveHandler handler) = 0;
};

}  // namespace talvorine::lan
