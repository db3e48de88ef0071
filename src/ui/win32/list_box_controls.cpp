#include "ui/win32/controls.h"

#include <algorithm>

#include "ui/win32/control_message.h"
#include "ui/win32/wide_text.h"

namespace talvorine::win32 {

ComboBox::ComboBox(Window& owner, const CreateArgs& args, std::function<void(int)> on_select)
    : Control(owner, WC_COMBOBOXW, args, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP),
      on_select(std::move(on_select)) {
  ComboBox::Layout();
}

void ComboBox::Layout() {
  const LogicalRect& r = rect();
  MoveWindow(hwnd(), owner().Scale(r.x), owner().Scale(r.y), owner().Scale(r.width),
             owner().Scale(r.height + 12 * 18), TRUE);
}

void ComboBox::SetItems(std::span<const std::string_view> items) {
  Updating updating(*this);
  Send(hwnd(), CB_RESETCONTENT);
  for (std::string_view item : items) {
    const std::wstring wide = Cp932ToWide(item);
    Send(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
}

int ComboBox::Count() const {
  return static_cast<int>(Send(hwnd(), CB_GETCOUNT));
}

int ComboBox::SelectedIndex() const {
  const auto index = Send(hwnd(), CB_GETCURSEL);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void ComboBox::Select(int index) {
  Updating updating(*this);
  Send(hwnd(), CB_SETCURSEL,
       index >= 0 && index < Count() ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1));
}

void ComboBox::OnCommand(WORD code) {
  if (code == CBN_SELCHANGE && !updating() && on_select) {
    on_select(SelectedIndex());
  }
}

ListBox::ListBox(Window& owner, const CreateArgs& args, std::function<void()> on_selection_change)
    : Control(owner, L"LISTBOX", args,
              LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
              WS_EX_CLIENTEDGE),
      on_selection_change(std::move(on_selection_change)) {}

void ListBox::SetItems(std::span<const std::string> items) {
  Updating updating(*this);
  Send(hwnd(), WM_SETREDRAW, FALSE);
  Send(hwnd(), LB_RESETCONTENT);
  for (const std::string& item : items) {
    const std::wstring wide = Cp932ToWide(item);
    Send(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  Send(hwnd(), WM_SETREDRAW, TRUE);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

std::vector<int> ListBox::SelectedIndices() const {
  const auto count = Send(hwnd(), LB_GETSELCOUNT);
  if (count <= 0) {
    return {};
  }
  std::vector<int> indices(static_cast<size_t>(count));
  const auto got = Send(hwnd(), LB_GETSELITEMS, static_cast<WPARAM>(count),
                        reinterpret_cast<LPARAM>(indices.data()));
  indices.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
  return indices;
}

void ListBox::OnCommand(WORD code) {
  if (code == LBN_SELCHANGE && !updating() && on_selection_change) {
    on_selection_change();
  }
}

}  // namespace talvorine::win32
