#pragma once

#include <string>

namespace talvorine::lookup {

// A local date and time as a clock reads it.
struct LocalTime {
  int year = 0;
  int month = 0;        // 1 to 12
  int day = 0;          // 1 to 31
  int hour = 0;         // 0 to 23
  int minute = 0;       // 0 to 59
  int day_of_week = 0;  // 0 Sunday to 6 Saturday
};

// The current local date and time.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() const = 0;
};

// The user's regional conventions for the texts a date or time becomes.
class RegionalFormat {
 public:
  virtual ~RegionalFormat() = default;
  // The short date format, for instance 2026/05/01.
  virtual std::string ShortDate(const LocalTime& time) const = 0;
  // The short time format: hours and minutes (with the morning or afternoon marker where the
  // conventions use a 12-hour clock), for instance 9:05.
  virtual std::string ShortTime(const LocalTime& time) const = 0;
  // The full name of a day of the week (0 Sunday to 6 Saturday), for instance 金曜日; empty for
  // a number outside that range.
  virtual std::string DayName(int day_of_week) const = 0;
};

}  // namespace talvorine::lookup
