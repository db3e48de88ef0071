#include "ui/win32/message_window.h"

#include <utility>

namespace talvorine::win32 {

namespace {

// Timer ids of SetTimer start at 1: id 0 is easily mistaken for "no timer".
UINT_PTR NativeTimerId(TimerId id) {
  return static_cast<UINT_PTR>(id) + 1;
}

}  // namespace

MessageWindow::MessageWindow(HandlerGuard& guard) : Window(guard) {
  for (std::size_t i = 0; i < kTimerCount; ++i) {
    slots_[i].interval = DefaultInterval(static_cast<TimerId>(i));
  }
  CreateHandle(CreateParams::MessageOnly(L"TalvorineMessages"));
  std::lock_guard lock(tasks_mutex_);
  post_target_ = hwnd();
}

MessageWindow::~MessageWindow() {
  std::lock_guard lock(tasks_mutex_);
  post_target_ = nullptr;
  tasks_.clear();
}

void MessageWindow::SetTickHandler(TimerId id, std::function<void()> handler) {
  slot(id).handler = std::move(handler);
}

void MessageWindow::Start(TimerId id) {
  Slot& s = slot(id);
  if (s.running) {
    return;
  }
  if (SetTimer(hwnd(), NativeTimerId(id), s.interval, nullptr) != 0) {
    s.running = true;
  }
}

void MessageWindow::Stop(TimerId id) {
  Slot& s = slot(id);
  if (s.running) {
    KillTimer(hwnd(), NativeTimerId(id));
    s.running = false;
  }
}

void MessageWindow::SetInterval(TimerId id, std::uint32_t milliseconds) {
  Slot& s = slot(id);
  if (s.interval == milliseconds) {
    return;
  }
  s.interval = milliseconds;
  if (s.running) {
    // SetTimer on a running id replaces it, which restarts the countdown.
    SetTimer(hwnd(), NativeTimerId(id), s.interval, nullptr);
  }
}

bool MessageWindow::IsRunning(TimerId id) const {
  return slot(id).running;
}

std::uint32_t MessageWindow::Interval(TimerId id) const {
  return slot(id).interval;
}

void MessageWindow::Post(std::function<void()> task) {
  std::lock_guard lock(tasks_mutex_);
  if (post_target_ == nullptr) {
    return;
  }
  tasks_.push_back(std::move(task));
  // A post that fails (a full queue) loses nothing: the next message runs every waiting task.
  PostMessageW(post_target_, kRunTasks, 0, 0);
}

void MessageWindow::RunPostedTasks() {
  std::deque<std::function<void()>> ready;
  {
    std::lock_guard lock(tasks_mutex_);
    ready.swap(tasks_);
  }
  // Each task is guarded on its own: one that fails does not keep the others from running.
  for (auto& task : ready) {
    guard().Run(task);
  }
}

LRESULT MessageWindow::HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) {
  if (message == WM_TIMER) {
    const UINT_PTR native = w_param;
    if (native >= 1 && native <= kTimerCount) {
      Slot& s = slots_[native - 1];
      // A tick already queued when the timer was stopped is not delivered.
      if (s.running && s.handler) {
        // A copy: the handler may replace itself.
        auto handler = s.handler;
        handler();
      }
    }
    return 0;
  }
  if (message == kRunTasks) {
    RunPostedTasks();
    return 0;
  }
  return Window::HandleMessage(message, w_param, l_param);
}

}  // namespace talvorine::win32
