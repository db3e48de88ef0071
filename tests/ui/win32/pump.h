#pragma once

#include <windows.h>

#include <functional>

namespace talvorine::win32::testing {

// Handles this thread's messages until the condition holds or the time is up; the condition's
// last value.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD limit_ms = 5000) {
  const ULONGLONG deadline = GetTickCount64() + limit_ms;
  while (!condition()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) {
      return condition();
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

// Handles what is pending now and what arrives within the time given.
inline void PumpFor(DWORD milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

}  // namespace talvorine::win32::testing
