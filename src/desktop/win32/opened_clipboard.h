#pragma once

#include <windows.h>

namespace talvorine::win32 {

// Opens the clipboard for one step and closes it at the end of the scope. Another program may
// hold it for a moment (a clipboard viewer, a remote-desktop client), so it is tried a few times
// before the step fails with Error("クリップボードを開くことができません").
class OpenedClipboard {
 public:
  static constexpr int kAttempts = 5;
  static constexpr DWORD kRetryDelay = 20;  // milliseconds between two attempts

  explicit OpenedClipboard(HWND owner);
  ~OpenedClipboard() { CloseClipboard(); }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

}  // namespace talvorine::win32
