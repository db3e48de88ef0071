#include "webwords/win32/winhttp_client.h"

namespace talvorine::win32 {

// Not yet on WinHTTP: an "http://" location adds nothing, as an unreachable server does;
// locations that are files work in full.
webwords::HttpResult WinHttpClient::Get(const webwords::HttpRequest&) {
  return webwords::HttpResult::Failed(webwords::HttpFailure::kConnect);
}

void WinHttpClient::Cancel() {}

}  // namespace talvorine::win32
