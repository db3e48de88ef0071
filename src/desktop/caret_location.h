#pragma once

#include <optional>

#include "desktop/desktop.h"

namespace talvorine::desktop {

// Where the user types, in physical screen pixels, and which source told it.
struct CaretLocation {
  Rect rect;
  CaretSource source = CaretSource::kMousePointer;
  bool operator==(const CaretLocation&) const = default;
};

// Asks the sources in order (the system caret of the target's thread, the foreground thread's
// caret, the accessible caret, the focused control, the mouse pointer) and takes the first that
// knows a caret. A rectangle in a window's client coordinates is brought to physical pixels at
// the DPI of the monitor it lies on, so the caret of a program that is not per-monitor aware
// is found where it is drawn.
CaretLocation FindCaret(Desktop& desktop, WindowHandle target);

// A rectangle in the client coordinates of a window that works at window_dpi, whose client
// area starts at client_origin (physical pixels) on a monitor of monitor_dpi.
Rect ClientRectToPhysical(const Rect& rect, Point client_origin, unsigned window_dpi,
                          unsigned monitor_dpi);

}  // namespace talvorine::desktop
