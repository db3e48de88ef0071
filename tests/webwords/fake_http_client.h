#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "webwords/http_client.h"

namespace talvorine::testing {

// An HTTP client that answers from a table by URL (unknown URLs fail to connect) and records
// every request. A URL can be made to block: its Get waits until the test releases it or the
// client is cancelled, so a test can act while a refresh waits for a server.
class FakeHttpClient : public webwords::HttpClient {
 public:
  void Answer(const std::string& url, std::string body) {
    std::lock_guard lock(mutex_);
    answers_[url] = webwords::HttpResult::Body(std::move(body));
  }
  void Fail(const std::string& url, webwords::HttpFailure why) {
    std::lock_guard lock(mutex_);
    answers_[url] = webwords::HttpResult::Failed(why);
  }
  // Several URLs may be blocked at once; Release lets all of them go.
  void Block(const std::string& url) {
    std::lock_guard lock(mutex_);
    blocked_urls_.insert(url);
    released_ = false;
  }
  // Lets every blocked Get go on with its answer.
  void Release() {
    // Notified under the lock: the worker may drop the last reference to this client as soon as
    // it wakes.
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  // Whether Cancel should wake a blocked Get; off, it models a request nothing can interrupt.
  void SetCancelWakes(bool wakes) {
    std::lock_guard lock(mutex_);
    cancel_wakes_ = wakes;
  }

  // Waits until a Get is blocked on the blocked URL.
  bool WaitUntilBlocked(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return waiting_; });
  }
  // Waits until a Get is blocked on this URL.
  bool WaitUntilBlockedOn(const std::string& url,
                          std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return waiting_on_.count(url) > 0; });
  }
  // Waits until the blocked Get has returned.
  bool WaitUntilUnblocked(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return !waiting_ && blocked_returned_; });
  }

  std::vector<webwords::HttpRequest> requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  std::vector<std::string> urls() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> urls;
    for (const webwords::HttpRequest& request : requests_) {
      urls.push_back(request.url);
    }
    return urls;
  }
  bool cancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
  }

  webwords::HttpResult Get(const webwords::HttpRequest& request) override {
    std::unique_lock lock(mutex_);
    requests_.push_back(request);
    if (cancelled_) {
      return webwords::HttpResult::Failed(webwords::HttpFailure::kCancelled);
    }
    if (blocked_urls_.count(request.url) > 0 && !released_) {
      waiting_ = true;
      waiting_on_.insert(request.url);
      changed_.notify_all();
      changed_.wait(lock, [this] { return released_ || (cancelled_ && cancel_wakes_); });
      waiting_on_.erase(waiting_on_.find(request.url));
      waiting_ = !waiting_on_.empty();
      blocked_returned_ = true;
      changed_.notify_all();
      if (!released_) {
        return webwords::HttpResult::Failed(webwords::HttpFailure::kCancelled);
      }
    }
    const auto answer = answers_.find(request.url);
    if (answer == answers_.end()) {
      return webwords::HttpResult::Failed(webwords::HttpFailure::kConnect);
    }
    return answer->second;
  }

  void Cancel() override {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    changed_.notify_all();
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, webwords::HttpResult> answers_;
  std::vector<webwords::HttpRequest> requests_;
  std::set<std::string> blocked_urls_;
  std::multiset<std::string> waiting_on_;
  bool released_ = false;
  bool waiting_ = false;
  bool blocked_returned_ = false;
  bool cancelled_ = false;
  bool cancel_wakes_ = true;
};

}  // namespace talvorine::testing
