#pragma once

#include "webwords/http_client.h"

namespace talvorine::win32 {

// The HTTP client of the web word refresh, on WinHTTP.
class WinHttpClient : public webwords::HttpClient {
 public:
  webwords::HttpResult Get(const webwords::HttpRequest& request) override;
  void Cancel() override;
};

}  // namespace talvorine::win32
