#include "webwords/win32/winhttp_client.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <optional>
#include <thread>
#include <utility>

#include "webwords/win32/winhttp_exchange.h"

namespace talvorine::win32 {

using webwords::HttpFailure;
using webwords::HttpRequest;
using webwords::HttpResult;

// What a Get and the thread of its exchange share; it lives as long as either of them.
struct WinHttpClient::Exchange {
  explicit Exchange(const HttpRequest& asked) : request(asked) {}

  void Run() {
    HttpResult outcome = RunWinHttpExchange(request, abandoned);
    {
      std::lock_guard lock(mutex);
      result = std::move(outcome);
    }
    finished.notify_all();
  }

  void Cancel() {
    {
      std::lock_guard lock(mutex);
      cancelled = true;
      abandoned = true;
    }
    finished.notify_all();
  }

  // The exchange's result, or kCancelled once Cancel came, or kTimeout at the deadline.
  HttpResult Await(std::optional<std::chrono::steady_clock::time_point> deadline) {
    std::unique_lock lock(mutex);
    auto done = [this] { return cancelled || result.has_value(); };
    if (deadline) {
      if (!finished.wait_until(lock, *deadline, done)) {
        abandoned = true;
        return HttpResult::Failed(HttpFailure::kTimeout);
      }
    } else {
      finished.wait(lock, done);
    }
    if (cancelled) {
      return HttpResult::Failed(HttpFailure::kCancelled);
    }
    return std::move(*result);
  }

  const HttpRequest request;
  std::atomic<bool> abandoned{false};
  std::mutex mutex;
  std::condition_variable finished;
  bool cancelled = false;
  std::optional<HttpResult> result;
};

HttpResult WinHttpClient::Get(const HttpRequest& request) {
  try {
    auto exchange = std::make_shared<Exchange>(request);
    {
      std::lock_guard lock(mutex_);
      if (cancelled_) {
        return HttpResult::Failed(HttpFailure::kCancelled);
      }
      in_flight_ = exchange;
    }
    std::optional<std::chrono::steady_clock::time_point> deadline;
    if (request.connect_timeout.count() > 0 && request.response_timeout.count() > 0) {
      deadline =
          std::chrono::steady_clock::now() + request.connect_timeout + request.response_timeout;
    }
    HttpResult result = HttpResult::Failed(HttpFailure::kConnect);
    try {
      // Detached on purpose: a given-up exchange must not hold up the Get, nor the end of the
      // program; it holds its own share of the state and ends within WinHTTP's time-outs.
      std::thread([exchange] { exchange->Run(); }).detach();
      result = exchange->Await(deadline);
    } catch (const std::exception&) {
      // No thread to be had: the location fails like an unreachable server.
    }
    std::lock_guard lock(mutex_);
    in_flight_.reset();
    return result;
  } catch (const std::exception&) {
    return HttpResult::Failed(HttpFailure::kConnect);
  }
}

void WinHttpClient::Cancel() {
  std::shared_ptr<Exchange> exchange;
  {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    exchange = in_flight_;
  }
  if (exchange) {
    exchange->Cancel();
  }
}

}  // namespace talvorine::win32
