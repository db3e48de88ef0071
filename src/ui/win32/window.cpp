#include "ui/win32/window.h"

#include <commctrl.h>

#include <algorithm>

#include "common/error.h"
#include "ui/win32/controls.h"
#include "ui/win32/dpi.h"
#include "ui/win32/wide_text.h"

namespace talvorine::win32 {

namespace {

constexpr wchar_t kDialogKeysProperty[] = L"TalvorineDialogKeys";
constexpr wchar_t kAcceleratorsProperty[] = L"TalvorineAccelerators";

}  // namespace

Window::Window(HandlerGuard& guard, Window* parent) : guard_(guard), parent_(parent) {
  if (parent_ != nullptr) {
    parent_->AttachChildWindow(this);
  }
}

Window::~Window() {
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
  }
  if (parent_ != nullptr) {
    parent_->DetachChildWindow(this);
  }
  if (font_ != nullptr) {
    DeleteObject(font_);
  }
}

HFONT Window::font() const {
  return parent_ != nullptr ? parent_->font() : font_;
}

void Window::CreateHandle(const CreateParams& params) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (!GetClassInfoExW(instance, params.class_name, &existing)) {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.style = params.class_style;
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.hIcon = params.icon;
    window_class.hIconSm = params.icon;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = params.background;
    window_class.lpszClassName = params.class_name;
    if (!RegisterClassExW(&window_class)) {
      throw Error("ウィンドウクラスを登録できません");
    }
  }
  HWND parent_handle = params.parent;
  if (parent_handle == nullptr && parent_ != nullptr) {
    parent_handle = parent_->hwnd();
  }
  CreateWindowExW(params.ex_style, params.class_name, params.title.c_str(), params.style, params.x,
                  params.y, params.width, params.height, parent_handle, nullptr, instance, this);
  if (hwnd_ == nullptr) {
    throw Error("ウィンドウを作成できません");
  }
  if (parent_ == nullptr && params.parent != HWND_MESSAGE) {
    dpi_ = DpiForWindow(hwnd_);
    RecreateFont();
  } else if (parent_ != nullptr) {
    dpi_ = parent_->dpi();
  }
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM w_param, LPARAM l_param) {
  Window* self = nullptr;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l_param);
    self = static_cast<Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (self == nullptr) {
    return DefWindowProcW(hwnd, message, w_param, l_param);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->guard_.Run([self] { self->OnDestroyed(); });
    self->hwnd_ = nullptr;
    self->hint_window_ = nullptr;
    return DefWindowProcW(hwnd, message, w_param, l_param);
  }
  LRESULT result = 0;
  self->guard_.Run([&] { result = self->HandleMessage(message, w_param, l_param); });
  return result;
}

LRESULT Window::DefaultHandling(UINT message, WPARAM w_param, LPARAM l_param) {
  return DefWindowProcW(hwnd_, message, w_param, l_param);
}

LRESULT Window::HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) {
  switch (message) {
    case WM_COMMAND:
      if (l_param != 0) {
        if (Control* control = Control::FromHandle(reinterpret_cast<HWND>(l_param))) {
          control->OnCommand(HIWORD(w_param));
          return 0;
        }
      } else {
        OnMenuCommand(LOWORD(w_param));
        return 0;
      }
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(l_param);
      if (Control* control = Control::FromHandle(header->hwndFrom)) {
        LRESULT result = 0;
        if (control->OnNotify(*header, result)) {
          return result;
        }
      }
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (Control* control = Control::FromHandle(reinterpret_cast<HWND>(l_param))) {
        if (HBRUSH brush = control->OnCtlColor(reinterpret_cast<HDC>(w_param), BackgroundBrush())) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      if (BackgroundBrush() != nullptr &&
          (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN)) {
        // Labels and check boxes take the colour of the window they sit on.
        SetBkMode(reinterpret_cast<HDC>(w_param), TRANSPARENT);
        return reinterpret_cast<LRESULT>(BackgroundBrush());
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l_param);
      if (Control* control = Control::FromHandle(item->hwndItem)) {
        if (control->OnDrawItem(*item)) {
          return TRUE;
        }
      }
      break;
    }
    case WM_SETCURSOR:
      if (Control* control = Control::FromHandle(reinterpret_cast<HWND>(w_param))) {
        if (HCURSOR cursor = control->Cursor(); cursor != nullptr && LOWORD(l_param) == HTCLIENT) {
          SetCursor(cursor);
          return TRUE;
        }
      }
      break;
    case WM_DPICHANGED:
      if (parent_ == nullptr) {
        const auto* suggested = reinterpret_cast<const RECT*>(l_param);
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        ApplyDpi(HIWORD(w_param));
        return 0;
      }
      break;
    default:
      break;
  }
  return DefaultHandling(message, w_param, l_param);
}

void Window::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  if (parent_ == nullptr) {
    RecreateFont();
  }
  if (has_place_) {
    PlaceAt(place_);
  }
  for (Control* control : controls_) {
    control->Layout();
    control->ApplyFont(font());
  }
  for (Window* child : child_windows_) {
    child->ApplyDpi(dpi);
  }
  OnDpiChanged();
}

void Window::RecreateFont() {
  LOGFONTW look = MessageFontForDpi(dpi_);
  HFONT new_font = CreateFontIndirectW(&look);
  if (new_font == nullptr) {
    return;
  }
  if (font_ != nullptr) {
    DeleteObject(font_);
  }
  font_ = new_font;
}

void Window::PlaceAt(const LogicalRect& rect) {
  has_place_ = true;
  place_ = rect;
  SetWindowPos(hwnd_, nullptr, Scale(rect.x), Scale(rect.y), Scale(rect.width), Scale(rect.height),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND Window::HintWindow() {
  if (parent_ != nullptr) {
    return parent_->HintWindow();
  }
  if (hint_window_ == nullptr) {
    hint_window_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    if (hint_window_ != nullptr) {
      SendMessageW(hint_window_, TTM_SETMAXTIPWIDTH, 0, Scale(400));
    }
  }
  return hint_window_;
}

void Window::AddHint(HWND control, std::string_view text) {
  HWND hints = HintWindow();
  if (hints == nullptr || text.empty()) {
    return;
  }
  std::wstring wide = Cp932ToWide(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = wide.data();
  SendMessageW(hints, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Window::AttachControl(Control* control) {
  controls_.push_back(control);
}

void Window::DetachControl(Control* control) {
  std::erase(controls_, control);
}

void Window::AttachChildWindow(Window* child) {
  child_windows_.push_back(child);
}

void Window::DetachChildWindow(Window* child) {
  std::erase(child_windows_, child);
}

Panel::Panel(HandlerGuard& guard, Window& parent, const LogicalRect& rect, COLORREF background)
    : Window(guard, &parent) {
  if (background != CLR_INVALID) {
    background_ = CreateSolidBrush(background);
  }
  CreateParams params;
  params.class_name = L"TalvorinePanel";
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  params.ex_style = WS_EX_CONTROLPARENT;
  params.x = 0;
  params.y = 0;
  params.width = 0;
  params.height = 0;
  CreateHandle(params);
  PlaceAt(rect);
}

Panel::~Panel() {
  if (background_ != nullptr) {
    DeleteObject(background_);
  }
}

LRESULT Panel::HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) {
  if (message == WM_ERASEBKGND && background_ != nullptr) {
    RECT client;
    GetClientRect(hwnd(), &client);
    FillRect(reinterpret_cast<HDC>(w_param), &client, background_);
    return 1;
  }
  return Window::HandleMessage(message, w_param, l_param);
}

void EnableDialogKeys(HWND top_level_window, HACCEL accelerators) {
  SetPropW(top_level_window, kDialogKeysProperty, reinterpret_cast<HANDLE>(1));
  if (accelerators != nullptr) {
    SetPropW(top_level_window, kAcceleratorsProperty, accelerators);
  }
}

int RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && GetPropW(root, kDialogKeysProperty) != nullptr) {
      auto accelerators = static_cast<HACCEL>(GetPropW(root, kAcceleratorsProperty));
      if (accelerators != nullptr && TranslateAcceleratorW(root, accelerators, &message)) {
        continue;
      }
      if (IsDialogMessageW(root, &message)) {
        continue;
      }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace talvorine::win32
