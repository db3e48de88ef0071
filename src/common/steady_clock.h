#pragma once

#include <chrono>

namespace talvorine {

// Time that only moves forward, for bounds on how long something may take. Tests use a clock
// they move by hand.
class SteadyClock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  virtual ~SteadyClock() = default;
  virtual TimePoint Now() const = 0;
};

class SystemSteadyClock : public SteadyClock {
 public:
  TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

}  // namespace talvorine
