#pragma once

#include <atomic>
#include <functional>

#include "webwords/http_client.h"

namespace talvorine::win32 {

// One GET on synchronous WinHTTP, from the URL to the whole body, on the calling thread: no
// proxy, no credentials, no redirect unless the request asks for one, the body bytes as they
// came. It blocks as long as WinHTTP's own time-outs let it; it looks at abandoned between its
// steps and then stops, closing everything it opened. sent is called when the request has gone
// out (perhaps more than once): the time of the response counts from then. Throws nothing.
webwords::HttpResult RunWinHttpExchange(const webwords::HttpRequest& request,
                                        const std::atomic<bool>& abandoned,
                                        const std::function<void()>& sent);

}  // namespace talvorine::win32
