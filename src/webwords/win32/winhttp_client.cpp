#include "webwords/win32/winhttp_client.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "webwords/win32/winhttp_exchange.h"

namespace talvorine::win32 {

using webwords::HttpFailure;
using webwords::HttpRequest;
using webwords::HttpResult;

using Clock = std::chrono::steady_clock;

namespace {

// The body of a thread made by StartOwnThread; it owns its work.
DWORD WINAPI RunOwnThread(void* parameter) {
  const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
  try {
    (*work)();
  } catch (...) {
    // Nothing may leave a thread: it would end the program.
  }
  return 0;
}

// Runs work on a thread of its own that nobody waits for; false when there is no thread to be
// had. A system thread, not a std::thread: one detached at once was seen (MinGW's thread library
// under Wine) to start seconds late now and then, or to start with a null state and crash.
bool StartOwnThread(std::function<void()> work) {
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  const HANDLE thread = CreateThread(nullptr, 0, RunOwnThread, owned.get(), 0, nullptr);
  if (thread == nullptr) {
    return false;
  }
  owned.release();  // the thread's now
  CloseHandle(thread);
  return true;
}

}  // namespace

// What a Get and the thread of its exchange share; it lives as long as either of them.
struct WinHttpClient::Exchange {
  explicit Exchange(const HttpRequest& asked) : request(asked) {}

  void Run() {
    HttpResult outcome = RunWinHttpExchange(request, abandoned, [this] {
      {
        std::lock_guard lock(mutex);
        if (!sent_at) {
          sent_at = Clock::now();
        }
      }
      finished.notify_all();
    });
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

  // The exchange's result; kCancelled once Cancel came; kTimeout when connecting and sending
  // take longer than the connect time, or the answer longer than the response time after that.
  // WinHTTP bounds these waits too, but only from one received packet to the next.
  HttpResult Await(Clock::time_point start) {
    std::unique_lock lock(mutex);
    auto done = [this] { return cancelled || result.has_value(); };
    bool in_time = WaitAtMost(lock, start, request.connect_timeout,
                              [&] { return done() || sent_at.has_value(); });
    if (in_time && !done()) {
      in_time = WaitAtMost(lock, *sent_at, request.response_timeout, done);
    }
    if (!in_time) {
      abandoned = true;
      return HttpResult::Failed(HttpFailure::kTimeout);
    }
    if (cancelled) {
      return HttpResult::Failed(HttpFailure::kCancelled);
    }
    return std::move(*result);
  }

  // False when limit (none when not positive) runs out from from before ready.
  template <typename Ready>
  bool WaitAtMost(std::unique_lock<std::mutex>& lock, Clock::time_point from,
                  std::chrono::milliseconds limit, Ready ready) {
    if (limit.count() <= 0) {
      finished.wait(lock, ready);
      return true;
    }
    return finished.wait_until(lock, from + limit, ready);
  }

  const HttpRequest request;
  std::atomic<bool> abandoned{false};
  std::mutex mutex;
  std::condition_variable finished;
  bool cancelled = false;
  std::optional<Clock::time_point> sent_at;
  std::optional<HttpResult> result;
};

HttpResult WinHttpClient::Get(const HttpRequest& request) {
  try {
    const Clock::time_point start = Clock::now();
    auto exchange = std::make_shared<Exchange>(request);
    {
      std::lock_guard lock(mutex_);
      if (cancelled_) {
        return HttpResult::Failed(HttpFailure::kCancelled);
      }
      in_flight_ = exchange;
    }
    // No thread to be had: the location fails like an unreachable server.
    HttpResult result = HttpResult::Failed(HttpFailure::kConnect);
    // Not waited for on purpose: a given-up exchange must not hold up the Get, nor the end of
    // the program; it holds its own share of the state and ends within WinHTTP's time-outs.
    if (StartOwnThread([exchange] { exchange->Run(); })) {
      result = exchange->Await(start);
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
