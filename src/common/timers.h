#pragma once

#include <cstdint>

namespace talvorine {

// The program's message timers, by the window and name they have.
enum class TimerId {
  kForm1Timer1,  // start-up sequence, 1000 ms, once
  kForm1Timer2,  // LAN endpoint on or off, 500 ms
  kTmRecovCB,    // clipboard restore after an insertion, 250 ms, on demand
  kForm1Timer3,  // web word-file refresh, ReloadTime minutes
  kForm2Timer1,  // shows the candidate window again after it is shown, 200 ms
  kForm2Timer2,  // hides the candidate window after the start-up, 250 ms
};

// The interval each timer has when its window is created.
constexpr std::uint32_t DefaultInterval(TimerId id) {
  switch (id) {
    case TimerId::kForm1Timer1:
      return 1000;
    case TimerId::kForm1Timer2:
      return 500;
    case TimerId::kTmRecovCB:
      return 250;
    case TimerId::kForm1Timer3:
      return 600000;
    case TimerId::kForm2Timer1:
      return 200;
    case TimerId::kForm2Timer2:
      return 250;
  }
  return 0;
}

// Timers port. A tick is delivered on the main thread to the handler named after the timer.
class Timers {
 public:
  virtual ~Timers() = default;
  // Starting a running timer does not restart its countdown.
  virtual void Start(TimerId id) = 0;
  virtual void Stop(TimerId id) = 0;
  // A changed interval restarts a running timer's countdown; the same interval changes nothing.
  virtual void SetInterval(TimerId id, std::uint32_t milliseconds) = 0;
  virtual bool IsRunning(TimerId id) const = 0;
  virtual std::uint32_t Interval(TimerId id) const = 0;
};

}  // namespace talvorine
