#include "ui/win32/controls.h"

#include <commctrl.h>

#include <algorithm>

#include "common/error.h"
#include "ui/win32/control_message.h"
#include "ui/win32/dpi.h"
#include "ui/win32/wide_text.h"

namespace talvorine::win32 {

namespace {

constexpr wchar_t kControlProperty[] = L"TalvorineControl";
constexpr UINT_PTR kSubclassId = 1;

}  // namespace

Control::Control(Window& owner, const wchar_t* class_name, const CreateArgs& args, DWORD style,
                 DWORD ex_style)
    : owner_(owner), id_(args.id), rect_(args.rect) {
  const std::wstring text = Cp932ToWide(args.text);
  hwnd_ = CreateWindowExW(args.ex_style | ex_style, class_name, text.c_str(),
                          WS_CHILD | WS_VISIBLE | style | args.style, owner.Scale(rect_.x),
                          owner.Scale(rect_.y), owner.Scale(rect_.width), owner.Scale(rect_.height),
                          owner.hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)),
                          GetModuleHandleW(nullptr), nullptr);
  if (hwnd_ == nullptr) {
    throw Error("コントロールを作成できません");
  }
  SetPropW(hwnd_, kControlProperty, this);
  // Every control is subclassed, so the wrapper learns when its window goes away and can see
  // the control's own messages when it asks to.
  subclassed_ = SetWindowSubclass(hwnd_, SubclassProc, kSubclassId,
                                  reinterpret_cast<DWORD_PTR>(this)) != FALSE;
  owner_.AttachControl(this);
  ApplyFont(owner_.font());
  if (!args.hint.empty()) {
    owner_.AddHint(hwnd_, args.hint);
  }
}

Control::~Control() {
  owner_.DetachControl(this);
  if (hwnd_ != nullptr) {
    if (subclassed_) {
      RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
    }
    RemovePropW(hwnd_, kControlProperty);
    DestroyWindow(hwnd_);
  }
  if (own_font_ != nullptr) {
    DeleteObject(own_font_);
  }
}

Control* Control::FromHandle(HWND hwnd) {
  if (hwnd == nullptr) {
    return nullptr;
  }
  return static_cast<Control*>(GetPropW(hwnd, kControlProperty));
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT message, WPARAM w_param, LPARAM l_param,
                                       UINT_PTR /*id*/, DWORD_PTR data) {
  auto* self = reinterpret_cast<Control*>(data);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
    RemovePropW(hwnd, kControlProperty);
    self->hwnd_ = nullptr;
    self->subclassed_ = false;
    return DefSubclassProc(hwnd, message, w_param, l_param);
  }
  if (self->message_filter_) {
    LRESULT result = 0;
    bool handled = false;
    self->owner_.guard().Run(
        [&] { handled = self->message_filter_(message, w_param, l_param, result); });
    if (handled) {
      return result;
    }
  }
  return DefSubclassProc(hwnd, message, w_param, l_param);
}

void Control::SetMessageFilter(MessageFilter filter) {
  message_filter_ = std::move(filter);
}

void Control::SetText(std::string_view text) {
  Updating updating(*this);
  const std::wstring wide = Cp932ToWide(text);
  SetWindowTextW(hwnd_, wide.c_str());
}

std::string Control::Text() const {
  const int length = GetWindowTextLengthW(hwnd_);
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd_, wide.data(), length + 1);
  wide.resize(static_cast<size_t>(std::max(copied, 0)));
  return WideToCp932(wide);
}

void Control::SetVisible(bool visible) {
  ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

void Control::MoveTo(const LogicalRect& rect) {
  rect_ = rect;
  Layout();
}

void Control::Layout() {
  MoveWindow(hwnd_, owner_.Scale(rect_.x), owner_.Scale(rect_.y), owner_.Scale(rect_.width),
             owner_.Scale(rect_.height), TRUE);
}

void Control::SetFont(const FontSpec& font) {
  has_own_font_ = true;
  font_spec_ = font;
  ApplyFont(owner_.font());
}

HFONT Control::CurrentFont() const {
  return has_own_font_ ? own_font_ : owner_.font();
}

void Control::ApplyFont(HFONT window_font) {
  if (!has_own_font_) {
    Send(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(window_font), TRUE);
    return;
  }
  LOGFONTW look = MessageFontForDpi(owner_.dpi());
  if (!font_spec_.face.empty()) {
    look.lfFaceName[font_spec_.face.copy(look.lfFaceName, LF_FACESIZE - 1)] = L'\0';
    look.lfCharSet = DEFAULT_CHARSET;
  }
  if (font_spec_.height != 0) {
    look.lfHeight = -owner_.Scale(font_spec_.height);
  }
  look.lfWeight = font_spec_.bold ? FW_BOLD : look.lfWeight;
  look.lfItalic = font_spec_.italic ? TRUE : FALSE;
  look.lfUnderline = font_spec_.underline ? TRUE : FALSE;
  if (font_spec_.fixed_pitch) {
    look.lfCharSet = SHIFTJIS_CHARSET;
    look.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  }
  HFONT new_font = CreateFontIndirectW(&look);
  Send(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(new_font != nullptr ? new_font : window_font),
       TRUE);
  if (own_font_ != nullptr) {
    DeleteObject(own_font_);
  }
  own_font_ = new_font;
}

}  // namespace talvorine::win32
