#pragma once

#include <atomic>

#include "webwords/http_client.h"

namespace talvorine::win32 {

// One GET on synchronous WinHTTP, from the URL to the whole body, on the calling thread: no
// proxy, no credentials, no redirect unless the request asks for one, the body bytes as they
// came. It blocks as long as WinHTTP's own time-outs let it; it looks at abandoned between its
// steps and then stops, closing everything it opened. Throws nothing.
webwords::HttpResult RunWinHttpExchange(const webwords::HttpRequest& request,
                                        const std::atomic<bool>& abandoned);

}  // namespace talvorine::win32
