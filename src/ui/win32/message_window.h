#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "common/main_thread.h"
#include "common/timers.h"
#include "ui/win32/window.h"

namespace talvorine::win32 {

// The program's message-only window (HWND_MESSAGE): the named timers run on it with SetTimer,
// and work finished on another thread is posted to it. Every tick and every task enters the
// core through the handler guard.
class MessageWindow : public Window, public Timers, public MainThreadQueue {
 public:
  explicit MessageWindow(HandlerGuard& guard);
  ~MessageWindow() override;

  // The handler a timer's tick runs; a timer without one ticks into nothing.
  void SetTickHandler(TimerId id, std::function<void()> handler);

  void Start(TimerId id) override;
  void Stop(TimerId id) override;
  void SetInterval(TimerId id, std::uint32_t milliseconds) override;
  bool IsRunning(TimerId id) const override;
  std::uint32_t Interval(TimerId id) const override;

  // Any thread. Tasks posted after the window is gone are dropped.
  void Post(std::function<void()> task) override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) override;

 private:
  struct Slot {
    bool running = false;
    std::uint32_t interval = 0;
    std::function<void()> handler;
  };
  static constexpr std::size_t kTimerCount = 6;
  static constexpr UINT kRunTasks = WM_APP + 1;
  Slot& slot(TimerId id) { return slots_[static_cast<std::size_t>(id)]; }
  const Slot& slot(TimerId id) const { return slots_[static_cast<std::size_t>(id)]; }
  void RunPostedTasks();

  std::array<Slot, kTimerCount> slots_;
  std::mutex tasks_mutex_;
  std::deque<std::function<void()>> tasks_;
  HWND post_target_ = nullptr;  // read by other threads under tasks_mutex_
};

}  // namespace talvorine::win32
