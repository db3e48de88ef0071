#include "webwords/win32/winhttp_exchange.h"

#include <windows.h>

#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/win32/wide_text.h"
#include "webwords/win32/winhttp_handle.h"

namespace talvorine::win32 {

namespace {

using webwords::HttpFailure;
using webwords::HttpHeader;
using webwords::HttpRequest;
using webwords::HttpResult;
using Clock = std::chrono::steady_clock;

constexpr DWORD kSocketTimedOut = 10060;  // WSAETIMEDOUT
constexpr std::size_t kReadChunk = 64 * 1024;

// WinHTTP reports a time-out as its own error; Wine's passes on the socket's.
bool IsTimeout(DWORD error) {
  return error == ERROR_WINHTTP_TIMEOUT || error == kSocketTimedOut || error == ERROR_TIMEOUT;
}

HttpResult FailedBy(DWORD error, HttpFailure otherwise) {
  return HttpResult::Failed(IsTimeout(error) ? HttpFailure::kTimeout : otherwise);
}

// WinHTTP takes its time-outs as int milliseconds, 0 meaning none.
int TimeoutMs(std::chrono::milliseconds timeout) {
  return timeout.count() <= 0 ? 0 : static_cast<int>(std::min<long long>(timeout.count(), INT_MAX));
}

// A control byte would end or split the request line or a header line.
bool HasControlByte(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
  });
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

struct HttpTarget {
  std::wstring host;
  INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
  std::wstring object;  // path and query; the fragment stays with the client
};

std::optional<HttpTarget> CrackHttpUrl(std::string_view url) {
  if (url.empty() || HasControlByte(url)) {
    return std::nullopt;
  }
  const std::wstring wide = Cp932ToWide(url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (wide.empty() || !WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts) ||
      parts.nScheme != INTERNET_SCHEME_HTTP || parts.lpszHostName == nullptr ||
      parts.dwHostNameLength == 0) {
    return std::nullopt;
  }
  HttpTarget target;
  target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  target.port = parts.nPort;
  if (parts.lpszUrlPath != nullptr) {
    target.object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  }
  if (parts.lpszExtraInfo != nullptr) {
    target.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  }
  target.object = target.object.substr(0, target.object.find(L'#'));
  if (target.object.empty()) {
    target.object = L"/";
  }
  return target;
}

struct RequestHeaders {
  std::wstring user_agent;  // WinHttpOpen sends it; as a header line it would go twice
  std::wstring lines;       // every other header, each ending in CR LF
};

std::optional<RequestHeaders> BuildHeaders(const std::vector<HttpHeader>& headers) {
  RequestHeaders built;
  for (const HttpHeader& header : headers) {
    if (header.name.empty() || header.name.find(':') != std::string::npos ||
        HasControlByte(header.name) || HasControlByte(header.value)) {
      return std::nullopt;
    }
    if (EqualsIgnoringAsciiCase(header.name, "User-Agent")) {
      built.user_agent = Cp932ToWide(header.value);
    } else {
      built.lines += Cp932ToWide(header.name) + L": " + Cp932ToWide(header.value) + L"\r\n";
    }
  }
  return built;
}

void SetDwordOption(HINTERNET handle, DWORD option, DWORD value) {
  // An option the WinHTTP at hand does not know leaves its default; the checks after the
  // response (status, length) do not depend on it.
  WinHttpSetOption(handle, option, &value, sizeof(value));
}

// A response header short enough for a number or a token; an empty text when it is there but
// longer, nothing when it is absent.
std::optional<std::wstring> ShortHeader(HINTERNET request, DWORD query) {
  wchar_t buffer[64];
  DWORD size = sizeof(buffer);
  if (WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, buffer, &size,
                          WINHTTP_NO_HEADER_INDEX)) {
    return std::wstring(buffer, size / sizeof(wchar_t));
  }
  if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    return std::wstring();
  }
  return std::nullopt;
}

// The body length the headers promise, when they promise one that can be checked.
std::optional<std::uint64_t> DeclaredLength(HINTERNET request) {
  // A chunked body's length comes from its chunks, whatever else the headers say.
  if (ShortHeader(request, WINHTTP_QUERY_TRANSFER_ENCODING)) {
    return std::nullopt;
  }
  const std::optional<std::wstring> text = ShortHeader(request, WINHTTP_QUERY_CONTENT_LENGTH);
  if (!text || text->empty() || text->size() > 19) {
    return std::nullopt;
  }
  std::uint64_t length = 0;
  for (wchar_t c : *text) {
    if (c < L'0' || c > L'9') {
      return std::nullopt;
    }
    length = length * 10 + static_cast<std::uint64_t>(c - L'0');
  }
  return length;
}

// Tells the waiter the moment the request has gone out. Synchronous WinHTTP reports it from
// inside WinHttpSendRequest, on this thread, which may go on to wait for the answer there.
void CALLBACK ReportStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID, DWORD) {
  if (status != WINHTTP_CALLBACK_STATUS_REQUEST_SENT || context == 0) {
    return;
  }
  try {
    (*reinterpret_cast<const std::function<void()>*>(context))();
  } catch (const std::exception&) {
    // The waiter then counts from the start; nothing may leave a WinHTTP callback.
  }
}

HttpResult ReadBody(HINTERNET request, const HttpRequest& asked, Clock::time_point deadline,
                    const std::atomic<bool>& abandoned) {
  const std::optional<std::uint64_t> declared = DeclaredLength(request);
  if (declared && *declared > asked.max_body_bytes) {
    return HttpResult::Failed(HttpFailure::kTooLarge);
  }
  std::string body;
  if (declared) {
    body.reserve(static_cast<std::size_t>(*declared));
  }
  std::vector<char> buffer(kReadChunk);
  for (;;) {
    if (abandoned) {
      return HttpResult::Failed(HttpFailure::kCancelled);
    }
    if (asked.response_timeout.count() > 0) {
      // Each wait gets only what is left of the whole response's time, so a server that
      // trickles its body cannot stretch it.
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) {
        return HttpResult::Failed(HttpFailure::kTimeout);
      }
      SetDwordOption(request, WINHTTP_OPTION_RECEIVE_TIMEOUT, static_cast<DWORD>(TimeoutMs(left)));
    }
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request, &available)) {
      return FailedBy(GetLastError(), HttpFailure::kTransfer);
    }
    if (available == 0) {
      break;
    }
    DWORD read = 0;
    const DWORD wanted = std::min<DWORD>(available, static_cast<DWORD>(buffer.size()));
    if (!WinHttpReadData(request, buffer.data(), wanted, &read)) {
      return FailedBy(GetLastError(), HttpFailure::kTransfer);
    }
    if (read == 0) {
      break;
    }
    if (read > asked.max_body_bytes - body.size()) {
      return HttpResult::Failed(HttpFailure::kTooLarge);
    }
    body.append(buffer.data(), read);
  }
  // A connection that closes before the promised length is a broken body, not a short text.
  if (declared && body.size() != *declared) {
    return HttpResult::Failed(HttpFailure::kTransfer);
  }
  return HttpResult::Body(std::move(body));
}

HttpResult Exchange(const HttpRequest& asked, const std::atomic<bool>& abandoned,
                    const std::function<void()>& sent) {
  const std::optional<HttpTarget> target = CrackHttpUrl(asked.url);
  const std::optional<RequestHeaders> headers = BuildHeaders(asked.headers);
  if (!target || !headers) {
    return HttpResult::Failed(HttpFailure::kConnect);
  }
  if (abandoned) {
    return HttpResult::Failed(HttpFailure::kCancelled);
  }
  WinHttpHandle session(
      WinHttpOpen(headers->user_agent.empty() ? nullptr : headers->user_agent.c_str(),
                  WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) {
    return HttpResult::Failed(HttpFailure::kConnect);
  }
  const int connect_ms = TimeoutMs(asked.connect_timeout);
  const int response_ms = TimeoutMs(asked.response_timeout);
  WinHttpSetTimeouts(session.get(), connect_ms, connect_ms, response_ms, response_ms);
  if (!asked.follow_redirects) {
    SetDwordOption(session.get(), WINHTTP_OPTION_REDIRECT_POLICY,
                   WINHTTP_OPTION_REDIRECT_POLICY_NEVER);
  }
  WinHttpHandle connection(WinHttpConnect(session.get(), target->host.c_str(), target->port, 0));
  if (!connection) {
    return HttpResult::Failed(HttpFailure::kConnect);
  }
  WinHttpHandle request(WinHttpOpenRequest(connection.get(), L"GET", target->object.c_str(),
                                           nullptr, WINHTTP_NO_REFERER,
                                           WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
  if (!request) {
    return HttpResult::Failed(HttpFailure::kConnect);
  }
  // Never answer a server's challenge with the user's logon.
  SetDwordOption(request.get(), WINHTTP_OPTION_AUTOLOGON_POLICY,
                 WINHTTP_AUTOLOGON_SECURITY_LEVEL_HIGH);
  if (!asked.follow_redirects) {
    SetDwordOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_REDIRECTS);
  }
  // WinHttpSetTimeouts does not bound the wait for the response headers everywhere; this does.
  if (response_ms > 0) {
    SetDwordOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT,
                   static_cast<DWORD>(response_ms));
  }
  if (!headers->lines.empty() &&
      !WinHttpAddRequestHeaders(request.get(), headers->lines.c_str(), static_cast<DWORD>(-1),
                                WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
    return HttpResult::Failed(HttpFailure::kConnect);
  }
  if (abandoned) {
    return HttpResult::Failed(HttpFailure::kCancelled);
  }
  WinHttpSetStatusCallback(request.get(), ReportStatus, WINHTTP_CALLBACK_FLAG_SEND_REQUEST, 0);
  if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                          0, 0, reinterpret_cast<DWORD_PTR>(&sent))) {
    return FailedBy(GetLastError(), HttpFailure::kConnect);
  }
  const Clock::time_point deadline = Clock::now() + asked.response_timeout;
  sent();
  if (abandoned) {
    return HttpResult::Failed(HttpFailure::kCancelled);
  }
  if (!WinHttpReceiveResponse(request.get(), nullptr)) {
    return FailedBy(GetLastError(), HttpFailure::kTransfer);
  }
  DWORD status = 0;
  DWORD size = sizeof(status);
  if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    return HttpResult::Failed(HttpFailure::kTransfer);
  }
  if (status < 200 || status > 299) {
    return HttpResult::Failed(HttpFailure::kStatus);
  }
  return ReadBody(request.get(), asked, deadline, abandoned);
}

}  // namespace

webwords::HttpResult RunWinHttpExchange(const webwords::HttpRequest& request,
                                        const std::atomic<bool>& abandoned,
                                        const std::function<void()>& sent) {
  try {
    return Exchange(request, abandoned, sent);
  } catch (const std::bad_alloc&) {
    return HttpResult::Failed(HttpFailure::kTooLarge);
  } catch (const std::exception&) {
    return HttpResult::Failed(HttpFailure::kTransfer);
  }
}

}  // namespace talvorine::win32
