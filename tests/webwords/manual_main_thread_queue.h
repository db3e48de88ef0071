#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "common/main_thread.h"

namespace talvorine::testing {

// The main thread's queue as a test drives it: workers post from any thread, and the test runs
// the tasks on its own thread when it chooses, waiting for them with a bound.
class ManualMainThreadQueue : public MainThreadQueue {
 public:
  void Post(std::function<void()> task) override {
    {
      std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(task));
    }
    posted_.notify_all();
  }

  // Waits up to timeout for a task and runs it; false when none came.
  bool RunNext(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    std::function<void()> task;
    {
      std::unique_lock lock(mutex_);
      if (!posted_.wait_for(lock, timeout, [this] { return !tasks_.empty(); })) {
        return false;
      }
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
    return true;
  }

  // Waits up to timeout until a task is waiting, without running it.
  bool WaitForPending(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    std::unique_lock lock(mutex_);
    return posted_.wait_for(lock, timeout, [this] { return !tasks_.empty(); });
  }

  std::size_t pending() const {
    std::lock_guard lock(mutex_);
    return tasks_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace talvorine::testing
