#include "lan/posix/posix_udp_endpoint.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/error.h"

namespace talvorine::lan {

namespace {

// How long a send waits for room in a full socket buffer before it counts as failed.
constexpr int kSendWaitMilliseconds = 1000;

std::string WithReason(std::string message, int error_number) {
  message += " (";
  message += std::strerror(error_number);
  message += ")";
  return message;
}

}  // namespace

PosixUdpEndpoint::~PosixUdpEndpoint() {
  Close();
}

void PosixUdpEndpoint::Open(std::uint16_t port) {
  if (IsOpen()) {
    return;
  }
  const std::string failure = FormatMessageText("UDP ポート %s を開けません", std::to_string(port));
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    throw Error(WithReason(failure, errno));
  }
  const int on = 1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(port);
  // Peers on one machine share the channel's port, so that each hears every broadcast.
  if (setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0 ||
      setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
      bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const int error_number = errno;
    close(fd);
    throw Error(WithReason(failure, error_number));
  }
  sockaddr_in bound{};
  socklen_t bound_size = sizeof bound;
  getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &bound_size);
  socket_ = fd;
  port_ = ntohs(bound.sin_port);
}

void PosixUdpEndpoint::Close() {
  if (socket_ >= 0) {
    close(socket_);
    socket_ = -1;
    port_ = 0;
  }
}

void PosixUdpEndpoint::Send(std::string_view host, std::uint16_t port, std::string_view datagram) {
  const std::string failure = FormatMessageText("%s に送れません", host);
  if (!IsOpen()) {
    throw Error(failure + " (UDP ポートが閉じています)");
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (inet_pton(AF_INET, std::string(host).c_str(), &address.sin_addr) != 1) {
    throw Error(failure);
  }
  for (;;) {
    const ssize_t sent = sendto(socket_, datagram.data(), datagram.size(), 0,
                                reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (sent >= 0) {
      if (static_cast<std::size_t>(sent) != datagram.size()) {
        throw Error(failure);
      }
      return;
    }
    if (errno == EINTR) {
      continue;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      pollfd waiting{socket_, POLLOUT, 0};
      if (poll(&waiting, 1, kSendWaitMilliseconds) > 0) {
        continue;
      }
      throw Error(WithReason(failure, EAGAIN));
    }
    throw Error(WithReason(failure, errno));
  }
}

bool PosixUdpEndpoint::WaitForDatagram(int timeout_milliseconds) {
  if (!IsOpen()) {
    return false;
  }
  pollfd waiting{socket_, POLLIN, 0};
  return poll(&waiting, 1, timeout_milliseconds) > 0 && (waiting.revents & POLLIN);
}

std::size_t PosixUdpEndpoint::ReceivePending(std::size_t max_count) {
  std::size_t delivered = 0;
  char buffer[kReceiveSize];
  while (IsOpen() && delivered < max_count) {
    sockaddr_in source{};
    socklen_t source_size = sizeof source;
    const ssize_t size = recvfrom(socket_, buffer, sizeof buffer, 0,
                                  reinterpret_cast<sockaddr*>(&source), &source_size);
    if (size < 0) {
      if (errno == EINTR) {
        continue;
      }
      break;  // nothing more waiting (or an error the next wait will show again)
    }
    char source_text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &source.sin_addr, source_text, sizeof source_text);
    ++delivered;
    if (handler_) {
      handler_(std::string_view(buffer, static_cast<std::size_t>(size)), source_text);
    }
  }
  return delivered;
}

}  // namespace talvorine::lan
