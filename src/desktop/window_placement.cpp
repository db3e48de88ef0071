#include "desktop/window_placement.h"

#include <algorithm>
#include <cstdint>

namespace talvorine::desktop {
namespace {

constexpr int kBelowCaret = 40;  // at 96 DPI

// One edge of the window along one axis: kept inside [low, high) where it fits; a window larger
// than the area starts at its low edge, so its title and first rows stay in view.
int KeepWithin(int start, int extent, int low, int high) {
  return std::max(std::min(start, high - extent), low);
}

}  // namespace

int ScaleBetweenDpi(int value, unsigned from_dpi, unsigned to_dpi) {
  if (from_dpi == 0) {
    return value;
  }
  const std::int64_t product = static_cast<std::int64_t>(value) * to_dpi;
  const std::int64_t half = from_dpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / from_dpi
                                       : -((-product + half) / from_dpi));
}

Size ScaleToDpi(Size size_at_96, unsigned dpi) {
  return {ScaleBetweenDpi(size_at_96.width, kBaseDpi, dpi),
          ScaleBetweenDpi(size_at_96.height, kBaseDpi, dpi)};
}

Size ScaleToBaseDpi(Size size, unsigned dpi) {
  return {ScaleBetweenDpi(size.width, dpi, kBaseDpi), ScaleBetweenDpi(size.height, dpi, kBaseDpi)};
}

Rect CandidateWindowRect(const Rect& caret, Size size_at_96, const MonitorArea& monitor) {
  const Size size = ScaleToDpi(size_at_96, monitor.dpi);
  const Rect& work = monitor.work;

  const int below =
      std::max(caret.top + ScaleBetweenDpi(kBelowCaret, kBaseDpi, monitor.dpi), caret.bottom);
  const int above = caret.top - size.height;
  int top = 0;
  if (below + size.height <= work.bottom) {
    top = std::max(below, work.top);
  } else if (above >= work.top) {
    top = above;
  } else {
    top = KeepWithin(work.bottom - size.height, size.height, work.top, work.bottom);
  }
  const int left = KeepWithin(caret.left, size.width, work.left, work.right);
  return {left, top, left + size.width, top + size.height};
}

}  // namespace talvorine::desktop
