#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <string_view>

namespace talvorine::lan {

// How many completed file receptions from one source address are offered to the user in any
// minute. A colleague who sends a few files in a row has each of them asked; a peer that sends
// start and end pairs without end cannot keep the user answering questions.
inline constexpr std::size_t kReceptionsPerMinute = 6;

// Counts the completed receptions of each source address over the last minute, those let
// through and those turned away alike, so that a source that keeps sending stays turned away
// until it has been quiet for a while.
class ReceptionLimit {
 public:
  using Clock = std::chrono::steady_clock;

  explicit ReceptionLimit(std::size_t per_minute = kReceptionsPerMinute)
      : per_minute_(per_minute) {}

  // Counts one completed reception from the source at the time given; false when the source
  // has completed per_minute receptions within the minute before it.
  bool Admit(std::string_view source_address, Clock::time_point now);

 private:
  void ForgetQuietSources(Clock::time_point now);

  std::size_t per_minute_;
  // The times of each source's latest receptions, oldest first, at most per_minute of them.
  std::map<std::string, std::deque<Clock::time_point>, std::less<>> recent_;
};

}  // namespace talvorine::lan
