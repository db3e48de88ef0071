#include "lan/win32/winsock_udp_endpoint.h"

#include <mswsock.h>
#include <ws2tcpip.h>

#include <string>
#include <vector>

#include "common/error.h"

namespace talvorine::win32 {

namespace {

// How long a send waits for room in a full socket buffer before it counts as failed.
constexpr long kSendWaitSeconds = 1;

std::string HostText(std::string_view host) {
  return std::string(host.substr(0, host.find('\0')));
}

}  // namespace

WinsockUdpEndpoint::WinsockUdpEndpoint(HandlerGuard& guard) : Window(guard) {
  CreateHandle(CreateParams::MessageOnly(L"TalvorineUdpEndpoint"));
}

WinsockUdpEndpoint::~WinsockUdpEndpoint() {
  Close();
}

void WinsockUdpEndpoint::Open(std::uint16_t port) {
  if (IsOpen()) {
    return;
  }
  const std::string failure = FormatMessageText("UDP ポート %s を開けません", std::to_string(port));
  SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (socket == INVALID_SOCKET) {
    throw Error(WithSystemReason(failure, WSAGetLastError()));
  }
  const BOOL on = TRUE;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(port);
  // Several peers on one machine (the sessions of a terminal server, a command-line peer beside
  // the program) all hear the channel's broadcasts; a program that holds the port for itself
  // alone still makes the opening fail.
  if (setsockopt(socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on) !=
          0 ||
      setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on) !=
          0 ||
      bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const int error = WSAGetLastError();
    closesocket(socket);
    throw Error(WithSystemReason(failure, error));
  }
  // A port unreachable report for an earlier send would otherwise fail the next receive with
  // WSAECONNRESET. Where the system lacks the option the receive loop skips that error anyway.
  BOOL report_resets = FALSE;
  DWORD returned = 0;
  WSAIoctl(socket, SIO_UDP_CONNRESET, &report_resets, sizeof report_resets, nullptr, 0, &returned,
           nullptr, nullptr);
  if (WSAAsyncSelect(socket, hwnd(), kSocketMessage, FD_READ) != 0) {
    const int error = WSAGetLastError();
    closesocket(socket);
    throw Error(WithSystemReason(failure, error));
  }
  sockaddr_in bound{};
  int bound_size = sizeof bound;
  getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &bound_size);
  socket_ = socket;
  port_ = ntohs(bound.sin_port);
}

void WinsockUdpEndpoint::Close() {
  if (socket_ == INVALID_SOCKET) {
    return;
  }
  const SOCKET socket = socket_;
  socket_ = INVALID_SOCKET;
  port_ = 0;
  if (next_batch_due_) {
    KillTimer(hwnd(), kNextBatchTimer);
    next_batch_due_ = false;
  }
  // closesocket cancels the notifications; one already posted is told apart by its socket.
  closesocket(socket);
}

void WinsockUdpEndpoint::Send(std::string_view host, std::uint16_t port,
                              std::string_view datagram) {
  const std::string host_text = HostText(host);
  const std::string failure = FormatMessageText("%s に送れません", host_text);
  if (!IsOpen()) {
    throw Error(failure + " (UDP ポートが閉じています)");
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (host_text.empty() || inet_pton(AF_INET, host_text.c_str(), &address.sin_addr) != 1) {
    throw Error(failure);
  }
  for (;;) {
    const int sent = sendto(socket_, datagram.data(), static_cast<int>(datagram.size()), 0,
                            reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (sent != SOCKET_ERROR) {
      if (static_cast<std::size_t>(sent) != datagram.size()) {
        throw Error(failure);
      }
      return;
    }
    const int error = WSAGetLastError();
    if (error != WSAEWOULDBLOCK) {
      throw Error(WithSystemReason(failure, error));
    }
    // WSAAsyncSelect made the socket non-blocking: wait a little for room in its buffer.
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(socket_, &writable);
    timeval wait{kSendWaitSeconds, 0};
    if (select(0, nullptr, &writable, nullptr, &wait) <= 0) {
      throw Error(WithSystemReason(failure, WSAEWOULDBLOCK));
    }
  }
}

LRESULT WinsockUdpEndpoint::HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) {
  if (message == kSocketMessage) {
    // While a batch is due on the timer, that batch reads what this notice is about: reading
    // now would put the datagrams ahead of the keys again.
    if (WSAGETSELECTEVENT(l_param) == FD_READ && !next_batch_due_) {
      ReadBatch(static_cast<SOCKET>(w_param));
    }
    return 0;
  }
  if (message == WM_TIMER && w_param == kNextBatchTimer) {
    KillTimer(hwnd(), kNextBatchTimer);
    next_batch_due_ = false;
    ReadBatch(socket_);
    return 0;
  }
  return Window::HandleMessage(message, w_param, l_param);
}

void WinsockUdpEndpoint::ReadBatch(SOCKET socket) {
  std::vector<char> buffer(kReceiveSize);
  const auto deadline = std::chrono::steady_clock::now() + kBatchBudget;
  for (;;) {
    // The handler may have closed the endpoint (or closed and reopened it on another socket):
    // a notification of a socket that is no longer ours reads nothing.
    if (socket == INVALID_SOCKET || socket_ != socket) {
      return;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      // WM_TIMER comes only when no key, hotkey or posted message waits.
      next_batch_due_ = SetTimer(hwnd(), kNextBatchTimer, USER_TIMER_MINIMUM, nullptr) != 0;
      return;
    }
    sockaddr_in source{};
    int source_size = sizeof source;
    const int size = recvfrom(socket, buffer.data(), kReceiveSize, 0,
                              reinterpret_cast<sockaddr*>(&source), &source_size);
    if (size == SOCKET_ERROR) {
      const int error = WSAGetLastError();
      if (error == WSAECONNRESET || error == WSAEMSGSIZE) {
        continue;  // a report about an earlier send, or a datagram too long: go on
      }
      return;  // WSAEWOULDBLOCK: nothing more waits; FD_READ comes again when something does
    }
    char source_text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &source.sin_addr, source_text, sizeof source_text);
    if (handler_) {
      // A handler that pumps messages may come back here; that call reads into its own buffer.
      handler_(std::string_view(buffer.data(), static_cast<std::size_t>(size)), source_text);
    }
  }
}

}  // namespace talvorine::win32
