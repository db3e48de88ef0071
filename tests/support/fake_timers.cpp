#include "support/fake_timers.h"

#include <vector>

namespace talvorine::testing {

FakeTimers::FakeTimers() {
  for (size_t i = 0; i < slots_.size(); ++i) {
    slots_[i].interval = DefaultInterval(static_cast<TimerId>(i));
  }
}

void FakeTimers::Start(TimerId id) {
  Slot& s = slot(id);
  if (!s.running) {
    s.running = true;
    s.due = now_ + s.interval;
  }
}

void FakeTimers::Stop(TimerId id) { slot(id).running = false; }

void FakeTimers::SetInterval(TimerId id, std::uint32_t milliseconds) {
  Slot& s = slot(id);
  if (s.interval == milliseconds) {
    return;
  }
  s.interval = milliseconds;
  if (s.running) {
    s.due = now_ + s.interval;
  }
}

bool FakeTimers::IsRunning(TimerId id) const { return slot(id).running; }

std::uint32_t FakeTimers::Interval(TimerId id) const { return slot(id).interval; }

bool FakeTimers::DeliverEarliestDueBy(std::uint64_t time) {
  int earliest = -1;
  for (size_t i = 0; i < slots_.size(); ++i) {
    const Slot& s = slots_[i];
    if (s.running && s.due <= time &&
        (earliest < 0 || s.due < slots_[static_cast<size_t>(earliest)].due)) {
      earliest = static_cast<int>(i);
    }
  }
  if (earliest < 0) {
    return false;
  }
  Slot& s = slots_[static_cast<size_t>(earliest)];
  if (s.due > now_) {
    now_ = s.due;
  }
  // Like WM_TIMER, a late timer ticks once and then keeps its period from now.
  s.due = now_ + (s.interval > 0 ? s.interval : 1);
  if (on_tick) {
    on_tick(static_cast<TimerId>(earliest));
  }
  return true;
}

void FakeTimers::Advance(std::uint64_t milliseconds) {
  const std::uint64_t end = now_ + milliseconds;
  while (DeliverEarliestDueBy(end)) {
  }
  if (now_ < end) {
    now_ = end;
  }
}

void FakeTimers::DeliverDue() {
  // Each timer that is due now ticks once; ticks it causes wait for the next pump.
  std::vector<TimerId> due;
  for (size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].running && slots_[i].due <= now_) {
      due.push_back(static_cast<TimerId>(i));
    }
  }
  for (TimerId id : due) {
    Slot& s = slot(id);
    if (s.running && s.due <= now_) {
      s.due = now_ + (s.interval > 0 ? s.interval : 1);
      if (on_tick) {
        on_tick(id);
      }
    }
  }
}

}  // namespace talvorine::testing
