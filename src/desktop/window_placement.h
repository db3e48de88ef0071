#pragma once

#include "desktop/screen_geometry.h"

namespace talvorine::desktop {

// A length at from_dpi in pixels of to_dpi, rounded to the nearest pixel as MulDiv rounds.
int ScaleBetweenDpi(int value, unsigned from_dpi, unsigned to_dpi);

// A size given at 96 DPI, in pixels of another DPI, and back.
Size ScaleToDpi(Size size_at_96, unsigned dpi);
Size ScaleToBaseDpi(Size size, unsigned dpi);

// The candidate window's outer rectangle for a caret (physical pixels) on a monitor: the size
// from the settings scaled to the monitor's DPI; 40 pixels (at 96 DPI) below the top of the
// caret line, or just below the line when it is taller; above the line when there is no room
// below; kept within the monitor's work area, so it neither covers the taskbar nor reaches
// onto another monitor. When it fits neither above nor below, its bottom edge lies on the
// bottom of the work area.
Rect CandidateWindowRect(const Rect& caret, Size size_at_96, const MonitorArea& monitor);

}  // namespace talvorine::desktop
