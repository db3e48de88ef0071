#include "desktop/win32/win32_desktop.h"

#include <shellapi.h>

#include <string>

#include "ui/win32/wide_text.h"
#include "common/error.h"

namespace talvorine::win32 {
namespace {

using desktop::KeyDirection;
using desktop::MessageBoxResult;
using desktop::MessageBoxStyle;

}  // namespace

bool Win32Desktop::RegisterHotKey(int id, std::uint32_t modifiers, std::uint16_t virtual_key) {
  return ::RegisterHotKey(main_window_, id, modifiers, virtual_key) != FALSE;
}

void Win32Desktop::UnregisterHotKey(int id) {
  ::UnregisterHotKey(main_window_, id);
}

void Win32Desktop::KeyEvent(std::uint16_t virtual_key, KeyDirection direction) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtual_key;
  input.ki.wScan = 0;
  input.ki.dwFlags = direction == KeyDirection::kUp ? KEYEVENTF_KEYUP : 0;
  input.ki.dwExtraInfo = 0;
  // Refused input (a window of higher integrity in front) cannot be repaired from here: the
  // key simply does not arrive, as when the user's own key press is blocked.
  SendInput(1, &input, sizeof input);
}

bool Win32Desktop::IsKeyDown(std::uint16_t virtual_key) {
  return GetKeyState(virtual_key) < 0;
}

void Win32Desktop::ShowForegroundWindow() {
  ShowWindow(GetForegroundWindow(), SW_SHOW);
}

void Win32Desktop::BringApplicationToFront() {
  HWND popup = GetLastActivePopup(main_window_);
  if (popup && popup != main_window_ && IsWindowVisible(popup) && IsWindowEnabled(popup)) {
    ::SetForegroundWindow(popup);
  }
}

MessageBoxResult Win32Desktop::ShowMessageBox(std::string_view text, std::string_view caption,
                                              MessageBoxStyle style) {
  UINT flags = MB_OK;
  switch (style) {
    case MessageBoxStyle::kOk:
      flags = MB_OK;
      break;
    case MessageBoxStyle::kOkInformation:
      flags = MB_OK | MB_ICONINFORMATION;
      break;
    case MessageBoxStyle::kYesNoInformation:
      flags = MB_YESNO | MB_ICONINFORMATION;
      break;
    case MessageBoxStyle::kYesNoWarningNo:
      flags = MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2;
      break;
  }
  const int answer =
      MessageBoxW(main_window_, Cp932ToWide(text).c_str(), Cp932ToWide(caption).c_str(), flags);
  switch (answer) {
    case IDYES:
      return MessageBoxResult::kYes;
    case IDNO:
      return MessageBoxResult::kNo;
    default:
      return style == MessageBoxStyle::kYesNoInformation ||
                     style == MessageBoxStyle::kYesNoWarningNo
                 ? MessageBoxResult::kNo
                 : MessageBoxResult::kOk;
  }
}

void Win32Desktop::ShellOpen(std::string_view target) {
  ShellExecuteW(nullptr, L"open", Cp932ToWide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

desktop::WindowHandle Win32Desktop::MainWindow() {
  return FromHwnd(main_window_);
}

void Win32Desktop::HideMainWindow() {
  ShowWindow(main_window_, SW_HIDE);
}

desktop::WindowHandle Win32Desktop::ForegroundWindow() {
  return FromHwnd(GetForegroundWindow());
}

desktop::WindowHandle Win32Desktop::FirstChildWindow(desktop::WindowHandle window) {
  return FromHwnd(GetWindow(ToHwnd(window), GW_CHILD));
}

bool Win32Desktop::IsOwnWindow(desktop::WindowHandle window) {
  DWORD process = 0;
  return window != 0 && GetWindowThreadProcessId(ToHwnd(window), &process) != 0 &&
         process == GetCurrentProcessId();
}

std::uint32_t Win32Desktop::WindowThreadId(desktop::WindowHandle window) {
  return GetWindowThreadProcessId(ToHwnd(window), nullptr);
}

void Win32Desktop::AttachThreadInput(std::uint32_t from_thread, std::uint32_t to_thread,
                                     bool attach) {
  ::AttachThreadInput(from_thread, to_thread, attach ? TRUE : FALSE);
}

std::uint32_t Win32Desktop::ForegroundLockTimeout() {
  DWORD timeout = 0;
  SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
  return timeout;
}

void Win32Desktop::SetForegroundLockTimeout(std::uint32_t milliseconds) {
  // The new time-out travels in the pointer argument itself; 0 keeps it out of the profile.
  SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                        reinterpret_cast<void*>(static_cast<UINT_PTR>(milliseconds)), 0);
}

void Win32Desktop::SetForegroundWindow(desktop::WindowHandle window) {
  ::SetForegroundWindow(ToHwnd(window));
}

desktop::Point Win32Desktop::ClientToScreen(desktop::WindowHandle window, desktop::Point point) {
  POINT converted{point.x, point.y};
  if (!::ClientToScreen(ToHwnd(window), &converted)) {
    return point;
  }
  return {converted.x, converted.y};
}

void Win32Desktop::Sleep(std::uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

void Win32Desktop::ProcessPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The loop that owns the program's end must still see it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace talvorine::win32
