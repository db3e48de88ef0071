#include "ui/win32/controls.h"

#include <commctrl.h>

#include <algorithm>

#include "common/error.h"
#include "ui/win32/control_message.h"

namespace talvorine::win32 {

SpinEdit::SpinEdit(Window& owner, const CreateArgs& args, files::SpinRange range, int value,
                   std::function<void(int)> on_change)
    : Control(owner, L"EDIT", args, ES_AUTOHSCROLL | ES_NUMBER | WS_TABSTOP, WS_EX_CLIENTEDGE),
      on_change(std::move(on_change)),
      range_(range),
      last_value_(range.Clamp(value)) {
  up_down_ = CreateWindowExW(
      0, UPDOWN_CLASSW, nullptr,
      WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_HOTTRACK, 0,
      0, 0, 0, owner.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  if (up_down_ == nullptr) {
    throw Error("コントロールを作成できません");
  }
  Send(up_down_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd()));
  Send(up_down_, UDM_SETRANGE32, static_cast<WPARAM>(range_.min), range_.max);
  SetValue(last_value_);
  SpinEdit::Layout();
}

SpinEdit::~SpinEdit() {
  if (up_down_ != nullptr && IsWindow(up_down_)) {
    DestroyWindow(up_down_);
  }
}

int SpinEdit::Value() const {
  return files::SpinEditValue(Text(), range_);
}

void SpinEdit::SetValue(int value) {
  last_value_ = range_.Clamp(value);
  SetText(std::to_string(last_value_));
  Send(up_down_, UDM_SETPOS32, 0, last_value_);
}

void SpinEdit::Layout() {
  const int arrows = owner().Scale(17);
  const LogicalRect& r = rect();
  const int x = owner().Scale(r.x);
  const int y = owner().Scale(r.y);
  const int width = owner().Scale(r.width);
  const int height = owner().Scale(r.height);
  MoveWindow(hwnd(), x, y, std::max(width - arrows, 0), height, TRUE);
  if (up_down_ != nullptr) {
    MoveWindow(up_down_, x + std::max(width - arrows, 0), y, arrows, height, TRUE);
  }
}

void SpinEdit::OnCommand(WORD code) {
  if (code == EN_CHANGE && !updating()) {
    const int value = Value();
    if (value != last_value_) {
      last_value_ = value;
      if (on_change) {
        on_change(value);
      }
    }
  } else if (code == EN_KILLFOCUS) {
    // What the box shows must be the value the program uses.
    if (Text() != std::to_string(Value())) {
      SetValue(Value());
    }
  }
}

}  // namespace talvorine::win32
