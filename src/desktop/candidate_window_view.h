#pragma once

#include <cstddef>

#include "desktop/desktop.h"

namespace talvorine::desktop {

// What the candidate window's logic asks of its window. The list draws its rows from the
// lookup on demand; RefreshList tells it that the rows or the selection changed.
class CandidateWindowView {
 public:
  virtual ~CandidateWindowView() = default;

  virtual bool IsVisible() = 0;
  // ShowWindow of the window's own handle with SW_SHOW.
  virtual void ShowWindow() = 0;
  // A visible window shown again: only brought to the top of the z-order.
  virtual void RaiseToTop() = 0;
  virtual void Hide() = 0;

  // Outer size and place in physical pixels. Placed on a monitor of another DPI, the window
  // takes that DPI (font, columns, rows) and keeps the rectangle it was given.
  virtual Size OuterSize() = 0;
  virtual void SetOuterSize(Size size) = 0;
  virtual void Place(const Rect& outer) = 0;
  // The DPI the window now works at.
  virtual unsigned Dpi() = 0;

  // The input method off for the window; nothing when it has no input context.
  virtual void SwitchImeOff() = 0;

  virtual void RefreshList() = 0;
  // How many rows the list shows at once (a page for Page Up and Page Down).
  virtual std::size_t VisibleRowCount() = 0;
};

}  // namespace talvorine::desktop
