// The Desktop port's answers to "where is the user typing" and "which monitor is that".
#include <windows.h>

#include <oleacc.h>

#include "ui/win32/dpi.h"
#include "desktop/win32/win32_desktop.h"

namespace talvorine::win32 {
namespace {

using desktop::CaretReading;
using desktop::CaretSource;

// MinGW's liboleacc.a holds an import stub under this name, not the interface id; the id is
// spelled out here so that the system gets the real one.
constexpr GUID kIidIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

template <typename Function>
Function LibraryFunction(const wchar_t* library, const char* name) {
  HMODULE module = GetModuleHandleW(library);
  if (module == nullptr) {
    module = LoadLibraryW(library);
  }
  if (module == nullptr) {
    return nullptr;
  }
  // Through void(*)() because that type converts to any function type without a warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

desktop::Rect FromRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

// The GUI state of a thread (0: the foreground thread), or nothing when it cannot be read.
std::optional<GUITHREADINFO> GuiThreadInfo(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(thread, &info)) {
    return std::nullopt;
  }
  return info;
}

// The caret as the attached input state holds it: GetCaretPos gives its place in the client
// coordinates of the caret's window. Only when the target's thread owns a caret, and only when
// this thread is attached to it (otherwise GetCaretPos would read this thread's own).
std::optional<CaretReading> SystemCaret(HWND target) {
  const DWORD target_thread = target != nullptr ? GetWindowThreadProcessId(target, nullptr) : 0;
  if (target_thread == 0) {
    return std::nullopt;
  }
  const std::optional<GUITHREADINFO> target_info = GuiThreadInfo(target_thread);
  const std::optional<GUITHREADINFO> own_info = GuiThreadInfo(GetCurrentThreadId());
  if (!target_info || target_info->hwndCaret == nullptr || !own_info ||
      own_info->hwndCaret != target_info->hwndCaret) {
    return std::nullopt;
  }
  POINT point{};
  if (!GetCaretPos(&point)) {
    return std::nullopt;
  }
  const RECT& caret = target_info->rcCaret;
  return CaretReading{{point.x, point.y, point.x + (caret.right - caret.left),
                       point.y + (caret.bottom - caret.top)},
                      FromHwnd(target_info->hwndCaret)};
}

std::optional<CaretReading> GuiThreadCaret() {
  const std::optional<GUITHREADINFO> info = GuiThreadInfo(0);
  if (!info || info->hwndCaret == nullptr) {
    return std::nullopt;
  }
  return CaretReading{FromRect(info->rcCaret), FromHwnd(info->hwndCaret)};
}

HWND FocusWindow() {
  const std::optional<GUITHREADINFO> info = GuiThreadInfo(0);
  return info ? info->hwndFocus : nullptr;
}

// A point of a window's logical coordinates in physical pixels (Windows 8.1 and later); a
// per-monitor aware window's points come back unchanged.
POINT LogicalToPhysical(HWND window, POINT point) {
  using Function = BOOL(WINAPI*)(HWND, POINT*);
  static const auto convert =
      LibraryFunction<Function>(L"user32.dll", "LogicalToPhysicalPointForPerMonitorDPI");
  if (convert != nullptr) {
    convert(window, &point);
  }
  return point;
}

// The caret object the focused window offers to accessibility tools: browsers and editors
// that draw their own caret keep it there. Its location is in screen coordinates as that
// program sees them.
std::optional<CaretReading> AccessibleCaret() {
  HWND focus = FocusWindow();
  if (focus == nullptr) {
    focus = GetForegroundWindow();
  }
  if (focus == nullptr) {
    return std::nullopt;
  }
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::optional<CaretReading> reading;
  IAccessible* caret = nullptr;
  if (SUCCEEDED(AccessibleObjectFromWindow(focus, static_cast<DWORD>(OBJID_CARET), kIidIAccessible,
                                           reinterpret_cast<void**>(&caret))) &&
      caret != nullptr) {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    long left = 0;
    long top = 0;
    long width = 0;
    long height = 0;
    // An object that knows no caret answers with an error or an empty rectangle.
    if (caret->accLocation(&left, &top, &width, &height, self) == S_OK &&
        (width > 0 || height > 0)) {
      const POINT top_left = LogicalToPhysical(focus, {left, top});
      const POINT bottom_right = LogicalToPhysical(focus, {left + width, top + height});
      reading = CaretReading{{top_left.x, top_left.y, bottom_right.x, bottom_right.y}, 0};
    }
    caret->Release();
  }
  if (SUCCEEDED(com)) {
    CoUninitialize();
  }
  return reading;
}

// A control, a child window: a whole top-level window with the focus says nothing of where in
// it the user types, and the mouse pointer says more.
std::optional<CaretReading> FocusedControl() {
  HWND focus = FocusWindow();
  RECT rect{};
  if (focus == nullptr || (GetWindowLongPtrW(focus, GWL_STYLE) & WS_CHILD) == 0 ||
      !GetWindowRect(focus, &rect)) {
    return std::nullopt;
  }
  return CaretReading{FromRect(rect), 0};
}

std::optional<CaretReading> MousePointer() {
  POINT point{};
  if (!GetCursorPos(&point)) {
    return std::nullopt;
  }
  return CaretReading{{point.x, point.y, point.x, point.y}, 0};
}

}  // namespace

std::optional<desktop::CaretReading> Win32Desktop::ReadCaret(desktop::CaretSource source,
                                                             desktop::WindowHandle target) {
  switch (source) {
    case CaretSource::kSystemCaret:
      return SystemCaret(ToHwnd(target));
    case CaretSource::kGuiThreadCaret:
      return GuiThreadCaret();
    case CaretSource::kAccessibleCaret:
      return AccessibleCaret();
    case CaretSource::kFocusedControl:
      return FocusedControl();
    case CaretSource::kMousePointer:
      return MousePointer();
  }
  return std::nullopt;
}

unsigned Win32Desktop::WindowDpi(desktop::WindowHandle window) {
  return DpiForWindow(ToHwnd(window));
}

desktop::MonitorArea Win32Desktop::MonitorAt(desktop::Point point) {
  HMONITOR monitor = MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) {
    const desktop::Rect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return {screen, screen, DpiForSystem()};
  }
  // GetDpiForMonitor (Windows 8.1 and later) with MDT_EFFECTIVE_DPI (0); older systems have one
  // DPI for every monitor.
  using Function = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto dpi_for_monitor = LibraryFunction<Function>(L"shcore.dll", "GetDpiForMonitor");
  UINT dpi_x = 0;
  UINT dpi_y = 0;
  if (dpi_for_monitor == nullptr || FAILED(dpi_for_monitor(monitor, 0, &dpi_x, &dpi_y)) ||
      dpi_x == 0) {
    dpi_x = DpiForSystem();
  }
  return {FromRect(info.rcMonitor), FromRect(info.rcWork), dpi_x};
}

}  // namespace talvorine::win32
