#include "desktop/caret_location.h"

#include <array>

#include "desktop/window_placement.h"

namespace talvorine::desktop {
namespace {

constexpr std::array kSourcesInOrder = {
    CaretSource::kSystemCaret,    CaretSource::kGuiThreadCaret, CaretSource::kAccessibleCaret,
    CaretSource::kFocusedControl, CaretSource::kMousePointer,
};

}  // namespace

Rect ClientRectToPhysical(const Rect& rect, Point client_origin, unsigned window_dpi,
                          unsigned monitor_dpi) {
  if (window_dpi == 0 || monitor_dpi == 0) {
    window_dpi = monitor_dpi = kBaseDpi;
  }
  const auto x = [&](int value) {
    return client_origin.x + ScaleBetweenDpi(value, window_dpi, monitor_dpi);
  };
  const auto y = [&](int value) {
    return client_origin.y + ScaleBetweenDpi(value, window_dpi, monitor_dpi);
  };
  return {x(rect.left), y(rect.top), x(rect.right), y(rect.bottom)};
}

CaretLocation FindCaret(Desktop& desktop, WindowHandle target) {
  for (const CaretSource source : kSourcesInOrder) {
    const std::optional<CaretReading> reading = desktop.ReadCaret(source, target);
    if (!reading) {
      continue;
    }
    if (reading->client_of == 0) {
      return {reading->rect, source};
    }
    const Point origin = desktop.ClientToScreen(reading->client_of, {0, 0});
    const unsigned monitor_dpi = desktop.MonitorAt(origin).dpi;
    return {ClientRectToPhysical(reading->rect, origin, desktop.WindowDpi(reading->client_of),
                                 monitor_dpi),
            source};
  }
  // The mouse pointer is always somewhere; a port that says otherwise gets the screen origin.
  return {};
}

}  // namespace talvorine::desktop
