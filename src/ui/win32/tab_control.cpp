#include "ui/win32/controls.h"

#include <commctrl.h>

#include "ui/win32/control_message.h"
#include "ui/win32/dpi.h"
#include "ui/win32/wide_text.h"

namespace talvorine::win32 {

TabControl::TabControl(Window& owner, const CreateArgs& args, std::function<void(int)> on_change)
    : Control(owner, WC_TABCONTROLW, args, WS_CLIPSIBLINGS | WS_TABSTOP),
      on_change(std::move(on_change)) {}

void TabControl::AddTab(std::string_view text) {
  std::wstring wide = Cp932ToWide(text);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = wide.data();
  const auto count = Send(hwnd(), TCM_GETITEMCOUNT);
  Send(hwnd(), TCM_INSERTITEMW, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&item));
}

int TabControl::SelectedIndex() const {
  return static_cast<int>(Send(hwnd(), TCM_GETCURSEL));
}

void TabControl::Select(int index) {
  Updating updating(*this);
  Send(hwnd(), TCM_SETCURSEL, static_cast<WPARAM>(index));
}

LogicalRect TabControl::PageArea() const {
  RECT area;
  GetClientRect(hwnd(), &area);
  Send(hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  MapWindowPoints(hwnd(), owner().hwnd(), reinterpret_cast<POINT*>(&area), 2);
  const UINT dpi = owner().dpi();
  return LogicalRect{UnscaleForDpi(area.left, dpi), UnscaleForDpi(area.top, dpi),
                     UnscaleForDpi(area.right - area.left, dpi),
                     UnscaleForDpi(area.bottom - area.top, dpi)};
}

bool TabControl::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.code == TCN_SELCHANGE) {
    if (!updating() && on_change) {
      on_change(SelectedIndex());
    }
    result = 0;
    return true;
  }
  return false;
}

}  // namespace talvorine::win32
