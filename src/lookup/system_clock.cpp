#include "lookup/system_clock.h"

#include <ctime>
#include <mutex>

namespace talvorine::lookup {

LocalTime SystemClock::Now() const {
  // std::localtime hands out one shared buffer; the lock keeps a reading whole if a second
  // thread ever reads the clock too.
  static std::mutex localtime_lock;
  const std::time_t now = std::time(nullptr);
  std::lock_guard lock(localtime_lock);
  const std::tm* local = std::localtime(&now);
  if (local == nullptr) {
    return LocalTime{1970, 1, 1, 0, 0, 4};
  }
  return LocalTime{local->tm_year + 1900, local->tm_mon + 1, local->tm_mday,
                   local->tm_hour,        local->tm_min,     local->tm_wday};
}

}  // namespace talvorine::lookup
