#pragma once

#include <winsock2.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace talvorine::win32::testing {

// An HTTP server on 127.0.0.1 for the tests, on a port of the system's choice. Each path has a
// canned answer: bytes sent as they stand (so a test can answer badly on purpose), then perhaps
// a drip of more bytes, after which the connection is closed or held open, silent, until the
// server stops. It keeps the head of every request it was sent.
class LoopbackHttpServer {
 public:
  struct Answer {
    std::string bytes = {};
    bool hold_open = false;
    // Sent after bytes one byte every kDripPace, over and over, until the client closes the
    // connection or the server stops: a server that never stops talking, slowly.
    std::string drip = {};
  };
  static constexpr std::chrono::milliseconds kDripPace{100};

  LoopbackHttpServer();
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  // Paths without an answer get a 404.
  void SetAnswer(const std::string& path, Answer answer);

  std::uint16_t port() const { return port_; }
  // "http://127.0.0.1:PORT" followed by path.
  std::string Url(std::string_view path) const;

  // Request heads (request line and header lines, CR LF each) in the order they came.
  std::vector<std::string> Requests() const;
  std::size_t Connections() const;
  // Polls until count requests have come, at most limit.
  bool WaitForRequests(std::size_t count, std::chrono::milliseconds limit) const;

 private:
  void AcceptLoop();
  void Serve(SOCKET connection);

  SOCKET listener_ = INVALID_SOCKET;
  std::uint16_t port_ = 0;
  std::thread acceptor_;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool stopping_ = false;
  std::map<std::string, Answer> answers_;
  std::vector<std::string> requests_;
  std::vector<SOCKET> open_connections_;
  std::vector<std::thread> servers_;
  std::size_t connections_ = 0;
};

// The header lines of a request head named name (any letter case): their values as sent.
std::vector<std::string> HeaderValues(const std::string& head, std::string_view name);
// The first line of a request head.
std::string RequestLine(const std::string& head);

}  // namespace talvorine::win32::testing
