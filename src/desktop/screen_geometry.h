#pragma once

#include <cstdint>

namespace talvorine::desktop {

// A window of the desktop, as an opaque handle; 0 is no window.
using WindowHandle = std::uintptr_t;

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

// Edges of a rectangle; right and bottom lie just outside it, as in Win32's RECT.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool Contains(Point point) const {
    return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
  }
  bool operator==(const Rect&) const = default;
};

// The DPI at which a size in the settings is given: 100 %.
inline constexpr unsigned kBaseDpi = 96;

// One monitor as the candidate window needs it, in physical pixels: its whole area, the part
// the taskbar and docked bars leave free, and its DPI.
struct MonitorArea {
  Rect bounds;
  Rect work;
  unsigned dpi = kBaseDpi;
  bool operator==(const MonitorArea&) const = default;
};

// The sources of "where is the user typing", in the order they are asked.
enum class CaretSource {
  kSystemCaret,      // the caret of the target's thread (GetCaretPos while attached)
  kGuiThreadCaret,   // the caret the foreground thread reports (GetGUIThreadInfo)
  kAccessibleCaret,  // the caret object of the focused window (browsers, modern editors)
  kFocusedControl,   // the rectangle of the focused control
  kMousePointer,     // the mouse pointer
};

// What one source reports. A rectangle in the client coordinates of `client_of` is given in
// that window's own units: a program that is not per-monitor DPI aware works in scaled
// coordinates. With client_of 0 the rectangle is in physical screen pixels.
struct CaretReading {
  Rect rect;
  WindowHandle client_of = 0;
  bool operator==(const CaretReading&) const = default;
};

}  // namespace talvorine::desktop
