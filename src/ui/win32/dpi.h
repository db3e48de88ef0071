#pragma once

#include <windows.h>

namespace talvorine::win32 {

// Sizes are given at 96 DPI and scaled to the monitor's DPI.
inline int ScaleForDpi(int value, UINT dpi) {
  return MulDiv(value, static_cast<int>(dpi), 96);
}

// The 96-DPI size of a size measured at that DPI.
inline int UnscaleForDpi(int pixels, UINT dpi) {
  return MulDiv(pixels, 96, static_cast<int>(dpi));
}

// The per-monitor DPI functions exist from Windows 10 on; older systems get the system DPI, so
// the portable exe still starts there.
UINT DpiForWindow(HWND window);
UINT DpiForSystem();
// The outer size of a window whose client area is client_width x client_height at that DPI.
SIZE OuterSizeForClient(int client_width, int client_height, DWORD style, DWORD ex_style, UINT dpi);
// The system's message font (the one dialogs use), sized for the DPI.
LOGFONTW MessageFontForDpi(UINT dpi);

}  // namespace talvorine::win32
