#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "talvorine_version.h"

namespace talvorine::webwords {

struct HttpHeader {
  std::string name;
  std::string value;
};

// Everything a GET of a web word file asks of the HTTP client. The client sends no proxy and no
// authentication, accepts cookies within the request, and never follows a redirect: a 3xx answer
// is an error status like any other that is not 2xx.
struct HttpRequest {
  std::string url;  // cp932 text, as the location list holds it
  std::vector<HttpHeader> headers;
  // A server that does not accept the connection in this time adds nothing.
  std::chrono::milliseconds connect_timeout{0};
  // The whole response, headers and body, must arrive within this time of sending the request.
  std::chrono::milliseconds response_timeout{0};
  // A longer body is a failure, not a truncated text.
  std::size_t max_body_bytes = 0;
  bool follow_redirects = false;
};

inline constexpr std::string_view kUserAgent = "Talvorine/" TALVORINE_SERIES_TEXT;
inline constexpr std::string_view kAccept = "text/html, */*";
inline constexpr std::chrono::milliseconds kConnectTimeout{10'000};
inline constexpr std::chrono::milliseconds kResponseTimeout{30'000};
inline constexpr std::size_t kMaxBodyBytes = 64u * 1024u * 1024u;

// The request of one "http://" location.
HttpRequest WebWordRequest(std::string url);

enum class HttpFailure {
  kConnect,    // no connection: refused, unknown host, malformed URL
  kTimeout,    // connecting or the response took longer than allowed
  kStatus,     // an answer other than 2xx, redirects included
  kTooLarge,   // the body is longer than max_body_bytes
  kCancelled,  // Cancel was called
  kTransfer,   // the connection broke while the response came in
};

// The whole body of a 2xx answer, or why there is none.
struct HttpResult {
  std::optional<std::string> body;
  HttpFailure failure = HttpFailure::kConnect;  // meaningful only without a body

  static HttpResult Body(std::string text) { return {std::move(text), HttpFailure::kConnect}; }
  static HttpResult Failed(HttpFailure why) { return {std::nullopt, why}; }
};

// HttpClient port. Get runs on the refresh worker, never on the main thread, and blocks until the
// request is done; it reports every failure in its result and throws nothing.
class HttpClient {
 public:
  virtual ~HttpClient() = default;
  virtual HttpResult Get(const HttpRequest& request) = 0;
  // Called from the main thread at program end: a Get in flight returns kCancelled promptly and
  // every later Get fails at once.
  virtual void Cancel() = 0;
};

}  // namespace talvorine::webwords
