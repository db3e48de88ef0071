#include "webwords/win32/loopback_http_server.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <stdexcept>

namespace talvorine::win32::testing {

namespace {

constexpr std::size_t kMaxHead = 64 * 1024;

// False when the client has gone.
bool SendAll(SOCKET socket, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 1 << 16));
    const int done = send(socket, bytes.data() + sent, chunk, 0);
    if (done <= 0) {
      return false;
    }
    sent += static_cast<std::size_t>(done);
  }
  return true;
}

// The head up to its empty line, or what came before the client closed or went over kMaxHead.
std::string ReceiveHead(SOCKET socket) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxHead) {
    const int got = recv(socket, buffer, sizeof(buffer), 0);
    if (got <= 0) {
      break;
    }
    head.append(buffer, static_cast<std::size_t>(got));
  }
  const std::size_t end = head.find("\r\n\r\n");
  return end == std::string::npos ? head : head.substr(0, end + 2);
}

std::string PathOf(const std::string& head) {
  const std::size_t start = head.find(' ');
  if (start == std::string::npos) {
    return {};
  }
  const std::size_t end = head.find(' ', start + 1);
  return head.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
    throw std::runtime_error("WSAStartup failed");
  }
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  int size = sizeof(address);
  if (listener_ == INVALID_SOCKET ||
      bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      listen(listener_, 16) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    if (listener_ != INVALID_SOCKET) {
      closesocket(listener_);
    }
    WSACleanup();
    throw std::runtime_error("the loopback HTTP server could not listen");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (SOCKET connection : open_connections_) {
      shutdown(connection, SD_BOTH);
    }
  }
  changed_.notify_all();
  closesocket(listener_);
  acceptor_.join();
  // The acceptor has ended, so the list of servers no longer grows.
  for (std::thread& server : servers_) {
    server.join();
  }
  WSACleanup();
}

void LoopbackHttpServer::SetAnswer(const std::string& path, Answer answer) {
  std::lock_guard lock(mutex_);
  answers_[path] = std::move(answer);
}

std::string LoopbackHttpServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<std::string> LoopbackHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::size_t LoopbackHttpServer::Connections() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

bool LoopbackHttpServer::WaitForRequests(std::size_t count, std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [&] { return requests_.size() >= count; });
}

void LoopbackHttpServer::AcceptLoop() {
  for (;;) {
    const SOCKET connection = accept(listener_, nullptr, nullptr);
    if (connection == INVALID_SOCKET) {
      return;  // the listener was closed
    }
    std::lock_guard lock(mutex_);
    if (stopping_) {
      closesocket(connection);
      return;
    }
    ++connections_;
    open_connections_.push_back(connection);
    servers_.emplace_back([this, connection] { Serve(connection); });
  }
}

void LoopbackHttpServer::Serve(SOCKET connection) {
  const std::string head = ReceiveHead(connection);
  Answer answer{"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"};
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(head);
    const auto found = answers_.find(PathOf(head));
    if (found != answers_.end()) {
      answer = found->second;
    }
  }
  changed_.notify_all();
  bool connected = SendAll(connection, answer.bytes);
  std::unique_lock lock(mutex_);
  for (std::size_t i = 0; connected && !answer.drip.empty(); i = (i + 1) % answer.drip.size()) {
    if (changed_.wait_for(lock, kDripPace, [this] { return stopping_; })) {
      break;
    }
    connected = send(connection, &answer.drip[i], 1, 0) == 1;
  }
  if (answer.hold_open) {
    changed_.wait(lock, [this] { return stopping_; });
  }
  open_connections_.erase(
      std::find(open_connections_.begin(), open_connections_.end(), connection));
  closesocket(connection);
}

std::vector<std::string> HeaderValues(const std::string& head, std::string_view name) {
  std::vector<std::string> values;
  std::size_t line_start = head.find("\r\n");
  while (line_start != std::string::npos && line_start + 2 < head.size()) {
    line_start += 2;
    const std::size_t line_end = head.find("\r\n", line_start);
    const std::string line = head.substr(line_start, line_end - line_start);
    const std::size_t colon = line.find(':');
    if (colon == name.size() && std::equal(name.begin(), name.end(), line.begin(),
                                           [](char a, char b) { return Lower(a) == Lower(b); })) {
      std::size_t value_start = colon + 1;
      while (value_start < line.size() && line[value_start] == ' ') {
        ++value_start;
      }
      values.push_back(line.substr(value_start));
    }
    line_start = line_end;
  }
  return values;
}

std::string RequestLine(const std::string& head) {
  return head.substr(0, head.find("\r\n"));
}

}  // namespace talvorine::win32::testing
