#pragma once

#include <functional>

namespace talvorine {

// Hands work finished on another thread back to the main thread, where all behaviour runs.
// Post may be called from any thread; the task runs later on the main thread, in posting order.
// On the desktop it is a message posted to the program's message-only window.
class MainThreadQueue {
 public:
  virtual ~MainThreadQueue() = default;
  virtual void Post(std::function<void()> task) = 0;
};

}  // namespace talvorine
