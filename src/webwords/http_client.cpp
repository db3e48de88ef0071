#include "webwords/http_client.h"

#include <utility>

namespace talvorine::webwords {

HttpRequest WebWordRequest(std::string url) {
  HttpRequest request;
  request.url = std::move(url);
  request.headers = {{"User-Agent", std::string(kUserAgent)}, {"Accept", std::string(kAccept)}};
  request.connect_timeout = kConnectTimeout;
  request.response_timeout = kResponseTimeout;
  request.max_body_bytes = kMaxBodyBytes;
  request.follow_redirects = false;
  return request;
}

}  // namespace talvorine::webwords
