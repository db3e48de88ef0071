#include "ui/win32/dpi.h"

namespace talvorine::win32 {

namespace {

template <typename Function>
Function User32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) {
    return nullptr;
  }
  // Through void(*)() because that type converts to any function type without a warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForSystemFunction = UINT(WINAPI*)();
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

}  // namespace

UINT DpiForWindow(HWND window) {
  static const auto get_dpi_for_window = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  if (get_dpi_for_window != nullptr && window != nullptr) {
    const UINT dpi = get_dpi_for_window(window);
    if (dpi != 0) {
      return dpi;
    }
  }
  return DpiForSystem();
}

UINT DpiForSystem() {
  static const auto get_dpi_for_system = User32Function<GetDpiForSystemFunction>("GetDpiForSystem");
  if (get_dpi_for_system != nullptr) {
    return get_dpi_for_system();
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen != nullptr) {
    ReleaseDC(nullptr, screen);
  }
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

SIZE OuterSizeForClient(int client_width, int client_height, DWORD style, DWORD ex_style,
                        UINT dpi) {
  RECT rect{0, 0, ScaleForDpi(client_width, dpi), ScaleForDpi(client_height, dpi)};
  static const auto adjust_for_dpi =
      User32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
  if (adjust_for_dpi != nullptr) {
    adjust_for_dpi(&rect, style, FALSE, ex_style, dpi);
  } else {
    AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  }
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

LOGFONTW MessageFontForDpi(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  static const auto parameters_for_dpi =
      User32Function<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
  if (parameters_for_dpi != nullptr &&
      parameters_for_dpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    return metrics.lfMessageFont;
  }
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi),
                                            static_cast<int>(DpiForSystem()));
    return metrics.lfMessageFont;
  }
  LOGFONTW font{};
  font.lfHeight = -ScaleForDpi(12, dpi);
  font.lfCharSet = DEFAULT_CHARSET;
  return font;
}

}  // namespace talvorine::win32
