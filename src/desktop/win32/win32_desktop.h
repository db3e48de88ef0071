#pragma once

#include <windows.h>

#include "desktop/desktop.h"

namespace talvorine::win32 {

// The Desktop port on the Win32 desktop. Hotkeys, message boxes and the clipboard belong to the
// main window, which must exist before any of them is used (SetMainWindow). The clipboard
// operations live in win32_desktop_clipboard.cpp.
class Win32Desktop : public desktop::Desktop {
 public:
  Win32Desktop() = default;
  explicit Win32Desktop(HWND main_window) : main_window_(main_window) {}
  void SetMainWindow(HWND main_window) { main_window_ = main_window; }

  bool RegisterHotKey(int id, std::uint32_t modifiers, std::uint16_t virtual_key) override;
  void UnregisterHotKey(int id) override;
  void KeyEvent(std::uint16_t virtual_key, desktop::KeyDirection direction) override;
  bool IsKeyDown(std::uint16_t virtual_key) override;
  bool ClipboardHasText() override;
  std::string ClipboardText() override;
  void ClearClipboard() override;
  void SetClipboardText(std::string_view text) override;
  std::unique_ptr<desktop::ClipboardSnapshot> SaveClipboard(desktop::ClipboardCopy what) override;
  void RestoreClipboard(const desktop::ClipboardSnapshot& snapshot) override;
  void ShowForegroundWindow() override;
  void BringApplicationToFront() override;
  desktop::MessageBoxResult ShowMessageBox(std::string_view text, std::string_view caption,
                                           desktop::MessageBoxStyle style) override;
  void ShellOpen(std::string_view target) override;
  desktop::WindowHandle MainWindow() override;
  void HideMainWindow() override;
  desktop::WindowHandle ForegroundWindow() override;
  desktop::WindowHandle FirstChildWindow(desktop::WindowHandle window) override;
  bool IsOwnWindow(desktop::WindowHandle window) override;
  std::uint32_t WindowThreadId(desktop::WindowHandle window) override;
  void AttachThreadInput(std::uint32_t from_thread, std::uint32_t to_thread, bool attach) override;
  std::uint32_t ForegroundLockTimeout() override;
  void SetForegroundLockTimeout(std::uint32_t milliseconds) override;
  void SetForegroundWindow(desktop::WindowHandle window) override;
  // In caret_position.cpp.
  std::optional<desktop::CaretReading> ReadCaret(desktop::CaretSource source,
                                                 desktop::WindowHandle target) override;
  unsigned WindowDpi(desktop::WindowHandle window) override;
  desktop::MonitorArea MonitorAt(desktop::Point point) override;

  desktop::Point ClientToScreen(desktop::WindowHandle window, desktop::Point point) override;
  void Sleep(std::uint32_t milliseconds) override;
  void ProcessPendingMessages() override;

 private:
  HWND main_window_ = nullptr;
};

// The conversions between the port's window handles and HWND.
inline HWND ToHwnd(desktop::WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}
inline desktop::WindowHandle FromHwnd(HWND window) {
  return reinterpret_cast<desktop::WindowHandle>(window);
}

}  // namespace talvorine::win32
