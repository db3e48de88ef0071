#include "lan/question_limit.h"

namespace talvorine::lan {

namespace {

constexpr auto kWindow = std::chrono::minutes(1);
// Sources beyond this many make the limit forget those that have been quiet for a minute.
constexpr std::size_t kSourcesBeforeCleaning = 64;

}  // namespace

bool ReceptionLimit::Admit(std::string_view source_address, Clock::time_point now) {
  if (recent_.size() > kSourcesBeforeCleaning) {
    ForgetQuietSources(now);
  }
  auto [entry, inserted] = recent_.try_emplace(std::string(source_address));
  std::deque<Clock::time_point>& times = entry->second;
  const bool admitted =
      times.size() < per_minute_ || (!times.empty() && now - times.front() >= kWindow);
  times.push_back(now);
  if (times.size() > per_minute_) {
    times.pop_front();
  }
  return admitted;
}

void ReceptionLimit::ForgetQuietSources(Clock::time_point now) {
  for (auto it = recent_.begin(); it != recent_.end();) {
    if (it->second.empty() || now - it->second.back() >= kWindow) {
      it = recent_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace talvorine::lan
