#include "app/win32/tray_icon.h"

#include <shellapi.h>

#include "app/win32/resource_ids.h"
#include "ui/win32/wide_text.h"

namespace talvorine::win32 {

namespace {

constexpr UINT kIconId = 1;

}  // namespace

TrayIcon::TrayIcon(HWND owner, std::string_view hint)
    : owner_(owner),
      hint_(Cp932ToWide(hint)),
      taskbar_created_(RegisterWindowMessageW(L"TaskbarCreated")) {
  const int size = GetSystemMetrics(SM_CXSMICON);
  for (int i = 0; i < static_cast<int>(frames_.size()); ++i) {
    frames_[static_cast<std::size_t>(i)] = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRAY_FRAME0 + i), IMAGE_ICON,
                   size, size, LR_DEFAULTCOLOR));
  }
}

TrayIcon::~TrayIcon() {
  Hide();
  for (HICON frame : frames_) {
    if (frame != nullptr) {
      DestroyIcon(frame);
    }
  }
}

NOTIFYICONDATAW TrayIcon::Data(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_;
  data.uID = kIconId;
  data.uFlags = flags;
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = frames_[static_cast<std::size_t>(frame_)];
  hint_.copy(data.szTip, std::size(data.szTip) - 1);
  return data;
}

bool TrayIcon::Add() {
  NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
  if (!Shell_NotifyIconW(NIM_ADD, &data)) {
    return false;
  }
  data.uVersion = NOTIFYICON_VERSION_4;
  Shell_NotifyIconW(NIM_SETVERSION, &data);
  return true;
}

void TrayIcon::Show() {
  if (!shown_) {
    // Without a shell yet the icon comes when the shell announces itself (Readd).
    Add();
    shown_ = true;
  }
}

void TrayIcon::Hide() {
  if (shown_) {
    NOTIFYICONDATAW data = Data(0);
    Shell_NotifyIconW(NIM_DELETE, &data);
    shown_ = false;
  }
}

void TrayIcon::Readd() {
  if (shown_) {
    Add();
  }
}

void TrayIcon::ShowFrame(int frame) {
  if (frame < 0 || frame >= frame_count()) {
    frame = 0;
  }
  frame_ = frame;
  if (shown_) {
    NOTIFYICONDATAW data = Data(NIF_ICON);
    Shell_NotifyIconW(NIM_MODIFY, &data);
  }
}

}  // namespace talvorine::win32
