#include "app/win32/regional_format.h"

#include <windows.h>

#include <array>

#include "ui/win32/wide_text.h"

namespace talvorine::win32 {

namespace {

SYSTEMTIME ToSystemTime(const lookup::LocalTime& time) {
  SYSTEMTIME system{};
  system.wYear = static_cast<WORD>(time.year);
  system.wMonth = static_cast<WORD>(time.month);
  system.wDay = static_cast<WORD>(time.day);
  system.wDayOfWeek = static_cast<WORD>(time.day_of_week);
  system.wHour = static_cast<WORD>(time.hour);
  system.wMinute = static_cast<WORD>(time.minute);
  return system;
}

// The text a formatting call wrote into a buffer; empty when it failed.
std::string Written(const std::array<wchar_t, 128>& buffer, int result) {
  if (result <= 1) {
    return {};
  }
  return WideToCp932(std::wstring_view(buffer.data(), static_cast<std::size_t>(result - 1)));
}

}  // namespace

std::string Win32RegionalFormat::ShortDate(const lookup::LocalTime& time) const {
  const SYSTEMTIME system = ToSystemTime(time);
  std::array<wchar_t, 128> buffer{};
  const int result = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &system, nullptr,
                                     buffer.data(), static_cast<int>(buffer.size()), nullptr);
  std::string text = Written(buffer, result);
  return text.empty() ? fallback_.ShortDate(time) : text;
}

std::string Win32RegionalFormat::ShortTime(const lookup::LocalTime& time) const {
  const SYSTEMTIME system = ToSystemTime(time);
  std::array<wchar_t, 128> buffer{};
  const int result = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, &system, nullptr,
                                     buffer.data(), static_cast<int>(buffer.size()));
  std::string text = Written(buffer, result);
  return text.empty() ? fallback_.ShortTime(time) : text;
}

std::string Win32RegionalFormat::DayName(int day_of_week) const {
  if (day_of_week < 0 || day_of_week > 6) {
    return {};
  }
  // The system counts from Monday (LOCALE_SDAYNAME1) to Sunday (LOCALE_SDAYNAME7).
  const LCTYPE item =
      day_of_week == 0 ? LOCALE_SDAYNAME7 : static_cast<LCTYPE>(LOCALE_SDAYNAME1 + day_of_week - 1);
  std::array<wchar_t, 128> buffer{};
  const int result = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, buffer.data(),
                                     static_cast<int>(buffer.size()));
  std::string text = Written(buffer, result);
  return text.empty() ? fallback_.DayName(day_of_week) : text;
}

}  // namespace talvorine::win32
