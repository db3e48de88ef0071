#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "common/timers.h"

namespace talvorine::testing {

// Timers on a virtual clock. Time passes only when a test (or a fake Sleep) says so; due ticks
// are delivered to on_tick in time order, as the message loop would deliver WM_TIMER.
class FakeTimers : public Timers {
 public:
  FakeTimers();

  void Start(TimerId id) override;
  void Stop(TimerId id) override;
  void SetInterval(TimerId id, std::uint32_t milliseconds) override;
  bool IsRunning(TimerId id) const override;
  std::uint32_t Interval(TimerId id) const override;

  // Moves the clock on by the given time, delivering every tick that falls due on the way.
  void Advance(std::uint64_t milliseconds);
  // Moves the clock on without delivering anything (the thread is blocked, as in Sleep).
  void Pass(std::uint64_t milliseconds) { now_ += milliseconds; }
  // Delivers the ticks that are due now (as a message pump does), each at most once.
  void DeliverDue();

  std::uint64_t now() const { return now_; }
  // When the running timer next ticks, in virtual milliseconds.
  std::uint64_t DueAt(TimerId id) const { return slot(id).due; }

  std::function<void(TimerId)> on_tick;

 private:
  struct Slot {
    bool running = false;
    std::uint32_t interval = 0;
    std::uint64_t due = 0;
  };
  Slot& slot(TimerId id) { return slots_[static_cast<size_t>(id)]; }
  const Slot& slot(TimerId id) const { return slots_[static_cast<size_t>(id)]; }
  bool DeliverEarliestDueBy(std::uint64_t time);

  std::array<Slot, 6> slots_;
  std::uint64_t now_ = 0;
};

}  // namespace talvorine::testing
