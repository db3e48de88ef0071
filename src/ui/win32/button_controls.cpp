#include "ui/win32/controls.h"

#include "ui/win32/control_message.h"

namespace talvorine::win32 {

Button::Button(Window& owner, const CreateArgs& args, std::function<void()> on_click)
    : Control(owner, L"BUTTON", args, BS_PUSHBUTTON | WS_TABSTOP), on_click(std::move(on_click)) {}

void Button::OnCommand(WORD code) {
  if (code == BN_CLICKED && on_click) {
    on_click();
  }
}

CheckBox::CheckBox(Window& owner, const CreateArgs& args, std::function<void(bool)> on_change)
    : Control(owner, L"BUTTON", args, BS_AUTOCHECKBOX | WS_TABSTOP),
      on_change(std::move(on_change)) {}

bool CheckBox::Checked() const {
  return Send(hwnd(), BM_GETCHECK) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked) {
  Updating updating(*this);
  Send(hwnd(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

void CheckBox::OnCommand(WORD code) {
  if (code == BN_CLICKED && !updating() && on_change) {
    on_change(Checked());
  }
}

Label::Label(Window& owner, const CreateArgs& args, COLORREF color, std::function<void()> on_click)
    : Control(owner, L"STATIC", args, SS_LEFT | SS_NOPREFIX | (on_click ? SS_NOTIFY : 0)),
      on_click(std::move(on_click)),
      color_(color) {}

Label::~Label() = default;

void Label::OnCommand(WORD code) {
  if (code == STN_CLICKED && on_click) {
    on_click();
  }
}

HBRUSH Label::OnCtlColor(HDC dc, HBRUSH owner_background) {
  if (color_ == CLR_INVALID) {
    return nullptr;
  }
  SetTextColor(dc, color_);
  SetBkMode(dc, TRANSPARENT);
  return owner_background != nullptr ? owner_background : GetSysColorBrush(COLOR_BTNFACE);
}

HCURSOR Label::Cursor() const {
  return on_click ? LoadCursorW(nullptr, IDC_HAND) : nullptr;
}

GroupBox::GroupBox(Window& owner, const CreateArgs& args)
    : Control(owner, L"BUTTON", args, BS_GROUPBOX | WS_CLIPSIBLINGS) {}

}  // namespace talvorine::win32
