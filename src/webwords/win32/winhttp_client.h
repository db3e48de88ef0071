#pragma once

#include <memory>
#include <mutex>

#include "webwords/http_client.h"

namespace talvorine::win32 {

// The HTTP client of the web word refresh, on WinHTTP.
//
// Each Get runs its WinHTTP exchange on a thread of its own and waits for the result, for
// Cancel, or for the end of its time (the connect time until the request has gone out, the
// response time from then on), whichever comes first. A blocked synchronous WinHTTP call
// cannot be cut short reliably from another thread (under Wine closing its handle frees the
// handle while the call goes on waiting), so an exchange that is given up is left to end on
// its own: it stops at its next step, once WinHTTP returns from the call it waits in. It owns
// everything it touches, closes its handles itself and reports to nobody.
class WinHttpClient : public webwords::HttpClient {
 public:
  webwords::HttpResult Get(const webwords::HttpRequest& request) override;
  void Cancel() override;

 private:
  struct Exchange;

  std::mutex mutex_;
  bool cancelled_ = false;
  std::shared_ptr<Exchange> in_flight_;
};

}  // namespace talvorine::win32
