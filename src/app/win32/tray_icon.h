#pragma once

#include <windows.h>

#include <shellapi.h>

#include <array>
#include <string>
#include <string_view>

namespace talvorine::win32 {

// The notification-area icon TrayIcon1 of the main window, with its animation frames
// (ImageList1). It carries no GUID: the exe is portable and may move.
class TrayIcon {
 public:
  static constexpr UINT kCallbackMessage = WM_APP + 20;

  // The icon is not shown until Show.
  TrayIcon(HWND owner, std::string_view hint);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  void Show();
  void Hide();
  bool IsShown() const { return shown_; }
  // The shell restarted (the "TaskbarCreated" message): a shown icon is added again.
  void Readd();
  // The message the shell sends when it has restarted.
  UINT taskbar_created_message() const { return taskbar_created_; }

  // The mouse event a callback message carries (WM_LBUTTONUP and the others).
  static UINT EventOf(LPARAM l_param) { return LOWORD(l_param); }

  // Shows one frame of the animation; frame 0 is the resting icon.
  void ShowFrame(int frame);
  int frame_count() const { return static_cast<int>(frames_.size()); }

 private:
  bool Add();
  NOTIFYICONDATAW Data(UINT flags) const;

  HWND owner_;
  std::wstring hint_;
  UINT taskbar_created_;
  std::array<HICON, 4> frames_{};
  int frame_ = 0;
  bool shown_ = false;
};

}  // namespace talvorine::win32
