#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "common/handler_guard.h"

namespace talvorine::win32 {

class Control;

// A rectangle in 96-DPI units; windows scale it to their monitor's DPI.
struct LogicalRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The one window base class. `this` travels through lpCreateParams, is stored in GWLP_USERDATA
// at WM_NCCREATE and cleared at WM_NCDESTROY, so a message never reaches a dead object. Every
// message enters HandleMessage through the handler guard: an exception never crosses the window
// procedure. Notifications of child controls (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*, WM_SETCURSOR)
// go to the wrapper of the control that sent them; menu commands go to OnMenuCommand.
//
// The most derived class calls CreateHandle at the end of its constructor, so the messages of
// creation already reach its own overrides.
class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }
  UINT dpi() const { return dpi_; }
  int Scale(int value) const { return MulDiv(value, static_cast<int>(dpi_), 96); }
  HandlerGuard& guard() const { return guard_; }
  // The UI font controls of this window use, at the window's DPI.
  HFONT font() const;
  // The window this one is a child of, or null for a top-level window.
  Window* parent() const { return parent_; }

  void Show(int show_command = SW_SHOW) { ShowWindow(hwnd_, show_command); }
  bool IsVisible() const { return IsWindowVisible(hwnd_) != FALSE; }

  // Moves a child window to a rectangle of its parent, in 96-DPI units; it is moved again when
  // the DPI changes.
  void PlaceAt(const LogicalRect& rect);

  // Shows a tooltip with the cp932 text over a control of this window (or a child window).
  void AddHint(HWND control, std::string_view text);

  // Controls register themselves; the window moves them and gives them its font.
  void AttachControl(Control* control);
  void DetachControl(Control* control);

 protected:
  explicit Window(HandlerGuard& guard, Window* parent = nullptr);

  struct CreateParams {
    const wchar_t* class_name = nullptr;
    std::wstring title;
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD ex_style = 0;
    // In pixels for a top-level window; a child window gets its place from PlaceAt.
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = CW_USEDEFAULT;
    int height = CW_USEDEFAULT;
    HWND parent = nullptr;  // HWND_MESSAGE for a message-only window
    HICON icon = nullptr;
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    UINT class_style = CS_HREDRAW | CS_VREDRAW;

    // A window that is never shown and only receives messages (timers, socket events, posts).
    static CreateParams MessageOnly(const wchar_t* class_name) {
      CreateParams params;
      params.class_name = class_name;
      params.style = 0;
      params.parent = HWND_MESSAGE;
      params.x = 0;
      params.y = 0;
      params.width = 0;
      params.height = 0;
      params.background = nullptr;
      return params;
    }
  };
  // Registers the class on first use and creates the window; throws Error on failure.
  void CreateHandle(const CreateParams& params);

  // Handles one message. Overrides call Window::HandleMessage for what they do not handle.
  virtual LRESULT HandleMessage(UINT message, WPARAM w_param, LPARAM l_param);
  // WM_COMMAND of a menu or accelerator.
  virtual void OnMenuCommand(int /*id*/) {}
  // The brush of a background of its own, or null for the dialog colour.
  virtual HBRUSH BackgroundBrush() const { return nullptr; }
  // After the DPI changed and the controls were moved and given the new font.
  virtual void OnDpiChanged() {}
  // At WM_NCDESTROY, the last message the window gets.
  virtual void OnDestroyed() {}
  LRESULT DefaultHandling(UINT message, WPARAM w_param, LPARAM l_param);

  // Takes the DPI the window now has and re-lays out every control and child window.
  void ApplyDpi(UINT dpi);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM w_param, LPARAM l_param);
  void RecreateFont();
  void AttachChildWindow(Window* child);
  void DetachChildWindow(Window* child);
  HWND HintWindow();

  HandlerGuard& guard_;
  Window* parent_;
  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  HFONT font_ = nullptr;
  HWND hint_window_ = nullptr;
  bool has_place_ = false;
  LogicalRect place_;
  std::vector<Control*> controls_;
  std::vector<Window*> child_windows_;
};

// A plain child window that holds controls: a tab page, a panel. It can carry its own
// background colour.
class Panel : public Window {
 public:
  // background: a colour of its own, or CLR_INVALID for the dialog colour.
  Panel(HandlerGuard& guard, Window& parent, const LogicalRect& rect,
        COLORREF background = CLR_INVALID);
  ~Panel() override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) override;
  HBRUSH BackgroundBrush() const override { return background_; }

 private:
  HBRUSH background_ = nullptr;
};

// Runs the message loop until WM_QUIT. Keyboard navigation (Tab between controls) works in
// top-level windows that asked for it with EnableDialogKeys; their accelerators come first.
int RunMessageLoop();
void EnableDialogKeys(HWND top_level_window, HACCEL accelerators = nullptr);

}  // namespace talvorine::win32
