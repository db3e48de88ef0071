#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/settings.h"
#include "ui/win32/window.h"

namespace talvorine::win32 {

// What every control is created from. Texts are cp932; places are in 96-DPI units.
struct CreateArgs {
  int id = 0;
  LogicalRect rect;
  std::string text{};
  std::string hint{};  // tooltip; empty for none
  DWORD style = 0;     // added to the control's own styles
  DWORD ex_style = 0;
};

// A font that differs from the window's: empty face keeps the window's face, height 0 its size.
struct FontSpec {
  std::wstring face{};
  int height = 0;  // pixels at 96 DPI
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool fixed_pitch = false;  // a fixed-pitch Japanese face when face is empty or missing
  bool operator==(const FontSpec&) const = default;
};

// Base of the control wrappers. A wrapper lives as long as its control and is found from the
// control's handle, so the owner window routes each notification to it.
class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  HWND hwnd() const { return hwnd_; }
  int id() const { return id_; }
  Window& owner() const { return owner_; }

  // cp932 text of the control.
  void SetText(std::string_view text);
  std::string Text() const;
  void SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
  void SetVisible(bool visible);
  void Focus() { SetFocus(hwnd_); }
  const LogicalRect& rect() const { return rect_; }
  void MoveTo(const LogicalRect& rect);
  void SetFont(const FontSpec& font);

  // Sees the control's own messages before the control does (keys of an editor, for one);
  // returning true with a result stops the control's own handling. Runs inside the guard.
  using MessageFilter = std::function<bool(UINT message, WPARAM, LPARAM, LRESULT& result)>;
  void SetMessageFilter(MessageFilter filter);

  // The wrapper of a control handle, or null when the handle is not a wrapped control.
  static Control* FromHandle(HWND hwnd);

 protected:
  Control(Window& owner, const wchar_t* class_name, const CreateArgs& args, DWORD style,
          DWORD ex_style = 0);

  virtual void OnCommand(WORD /*code*/) {}
  virtual bool OnNotify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
  // A brush for WM_CTLCOLOR*, or null for the default colours. owner_background is the owner's
  // own background brush, or null for the dialog colour.
  virtual HBRUSH OnCtlColor(HDC /*dc*/, HBRUSH /*owner_background*/) { return nullptr; }
  // WM_DRAWITEM of an owner-drawn control; true when drawn.
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  // The cursor over the control, or null for the default.
  virtual HCURSOR Cursor() const { return nullptr; }
  // Moves the control's window(s) to rect() at the owner's DPI.
  virtual void Layout();
  virtual void ApplyFont(HFONT window_font);
  HFONT CurrentFont() const;

  // Programmatic changes of a value do not call the wrapper's change callback.
  bool updating() const { return updating_ > 0; }
  struct Updating {
    explicit Updating(Control& control) : control_(control) { ++control_.updating_; }
    ~Updating() { --control_.updating_; }
    Updating(const Updating&) = delete;
    Updating& operator=(const Updating&) = delete;
    Control& control_;
  };

 private:
  friend class Window;
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM w_param, LPARAM l_param,
                                       UINT_PTR id, DWORD_PTR data);

  Window& owner_;
  HWND hwnd_ = nullptr;
  int id_;
  LogicalRect rect_;
  bool has_own_font_ = false;
  FontSpec font_spec_;
  HFONT own_font_ = nullptr;
  MessageFilter message_filter_;
  bool subclassed_ = false;
  int updating_ = 0;
};

class Button : public Control {
 public:
  Button(Window& owner, const CreateArgs& args, std::function<void()> on_click = {});
  std::function<void()> on_click;

 protected:
  void OnCommand(WORD code) override;
};

class CheckBox : public Control {
 public:
  CheckBox(Window& owner, const CreateArgs& args, std::function<void(bool)> on_change = {});
  bool Checked() const;
  void SetChecked(bool checked);  // does not call on_change
  std::function<void(bool checked)> on_change;

 protected:
  void OnCommand(WORD code) override;
};

// Static text. A label with on_click is a link: it shows the hand cursor.
class Label : public Control {
 public:
  Label(Window& owner, const CreateArgs& args, COLORREF color = CLR_INVALID,
        std::function<void()> on_click = {});
  ~Label() override;
  std::function<void()> on_click;

 protected:
  void OnCommand(WORD code) override;
  HBRUSH OnCtlColor(HDC dc, HBRUSH owner_background) override;
  HCURSOR Cursor() const override;

 private:
  COLORREF color_;
};

// A frame with a caption around other controls (which stay children of the same window).
class GroupBox : public Control {
 public:
  GroupBox(Window& owner, const CreateArgs& args);
};

// One-line edit box; on_change runs for every change the user makes.
class Edit : public Control {
 public:
  Edit(Window& owner, const CreateArgs& args, std::function<void(std::string)> on_change = {});
  void SetValue(std::string_view text);  // does not call on_change
  std::function<void(std::string text)> on_change;

 protected:
  void OnCommand(WORD code) override;
};

// Multi-line edit box with scroll bars as the style asks (WS_VSCROLL, WS_HSCROLL).
class Memo : public Control {
 public:
  Memo(Window& owner, const CreateArgs& args, std::function<void()> on_change = {});
  void SetValue(std::string_view text);  // does not call on_change
  // Appends at the end without touching the text before it; the caret stays where it was
  // unless it was at the end.
  void Append(std::string_view text);
  int LineCount() const;
  // Removes count lines (with their line ends) from line first on.
  void RemoveLines(int first, int count);
  std::function<void()> on_change;

 protected:
  void OnCommand(WORD code) override;
};

// Drop-down list (no typing). Index -1 is no selection.
class ComboBox : public Control {
 public:
  ComboBox(Window& owner, const CreateArgs& args, std::function<void(int)> on_select = {});
  void SetItems(std::span<const std::string_view> items);
  int Count() const;
  int SelectedIndex() const;
  void Select(int index);  // an index outside the list selects nothing; no on_select
  std::function<void(int index)> on_select;

 protected:
  void OnCommand(WORD code) override;
  // The window of a drop-down list includes its list: it is made tall enough for a dozen items.
  void Layout() override;
};

// Number edit with up-down arrows and a range. What the box shows is read as the settings read
// a number (files::SpinEditValue): text that is not a number counts as the minimum, a number
// outside the range as the nearest bound, and the box shows that bound once it loses the focus.
class SpinEdit : public Control {
 public:
  SpinEdit(Window& owner, const CreateArgs& args, files::SpinRange range, int value,
           std::function<void(int)> on_change = {});
  ~SpinEdit() override;
  int Value() const;
  void SetValue(int value);  // brought into the range; does not call on_change
  std::function<void(int value)> on_change;

 protected:
  void OnCommand(WORD code) override;
  void Layout() override;

 private:
  HWND up_down_ = nullptr;
  files::SpinRange range_;
  int last_value_;
};

// List box in which several items can be selected (Shift and Ctrl extend the selection).
class ListBox : public Control {
 public:
  ListBox(Window& owner, const CreateArgs& args, std::function<void()> on_selection_change = {});
  void SetItems(std::span<const std::string> items);
  std::vector<int> SelectedIndices() const;
  std::function<void()> on_selection_change;

 protected:
  void OnCommand(WORD code) override;
};

// Tab strip. The pages are separate windows placed over PageArea().
class TabControl : public Control {
 public:
  TabControl(Window& owner, const CreateArgs& args, std::function<void(int)> on_change = {});
  void AddTab(std::string_view text);
  int SelectedIndex() const;
  void Select(int index);  // does not call on_change
  // The part of the owner where a page goes, in 96-DPI units.
  LogicalRect PageArea() const;
  std::function<void(int index)> on_change;

 protected:
  bool OnNotify(const NMHDR& header, LRESULT& result) override;
};

// Report-style list whose rows are asked for as they are drawn (LVS_OWNERDATA): a table of
// any length costs nothing to show. cell_text gives the cp932 text of a cell.
class ListView : public Control {
 public:
  ListView(Window& owner, const CreateArgs& args,
           std::function<std::string(int row, int column)> cell_text);
  void AddColumn(std::string_view title, int width);  // width in 96-DPI units
  void SetRowHeight(int height);                      // in 96-DPI units
  int ColumnCount() const { return static_cast<int>(column_widths_.size()); }
  void SetRowCount(int rows);  // redraws every row
  int RowCount() const;
  int SelectedRow() const;  // -1 for none
  void SelectRow(int row);  // focuses, selects and scrolls to it; -1 clears; no callback
  void RedrawRow(int row);
  // The rectangle of a cell in the list's client coordinates (pixels).
  RECT CellRect(int row, int column) const;
  int RowAt(POINT client_point, int* column = nullptr) const;
  std::function<void(int row)> on_selection_change;
  std::function<void(int row, int column)> on_double_click;
  ~ListView() override;

 protected:
  bool OnNotify(const NMHDR& header, LRESULT& result) override;
  void Layout() override;

 private:
  std::function<std::string(int row, int column)> cell_text_;
  std::vector<int> column_widths_;
  int row_height_ = 0;
  HIMAGELIST row_height_images_ = nullptr;
};

}  // namespace talvorine::win32
