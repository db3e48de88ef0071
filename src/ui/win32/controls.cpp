#include "ui/win32/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <charconv>

#include "ui/win32/dpi.h"
#include "ui/win32/wide_text.h"
#include "common/error.h"

namespace talvorine::win32 {

namespace {

constexpr wchar_t kControlProperty[] = L"TalvorineControl";
constexpr UINT_PTR kSubclassId = 1;

LRESULT Send(HWND hwnd, UINT message, WPARAM w_param = 0, LPARAM l_param = 0) {
  return SendMessageW(hwnd, message, w_param, l_param);
}

int ToLogical(int pixels, UINT dpi) {
  return MulDiv(pixels, 96, static_cast<int>(dpi));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Control

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

// ---------------------------------------------------------------------------------------------
// Buttons and labels

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

// ---------------------------------------------------------------------------------------------
// Edit boxes

Edit::Edit(Window& owner, const CreateArgs& args, std::function<void(std::string)> on_change)
    : Control(owner, L"EDIT", args, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE),
      on_change(std::move(on_change)) {}

void Edit::SetValue(std::string_view text) {
  SetText(text);
}

void Edit::OnCommand(WORD code) {
  if (code == EN_CHANGE && !updating() && on_change) {
    on_change(Text());
  }
}

Memo::Memo(Window& owner, const CreateArgs& args, std::function<void()> on_change)
    : Control(owner, L"EDIT", args, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_TABSTOP,
              WS_EX_CLIENTEDGE),
      on_change(std::move(on_change)) {
  // The default limit of a multi-line edit is far below what a long session writes.
  Send(hwnd(), EM_SETLIMITTEXT, 0);
}

void Memo::SetValue(std::string_view text) {
  SetText(text);
}

void Memo::Append(std::string_view text) {
  Updating updating(*this);
  DWORD start = 0;
  DWORD end = 0;
  Send(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const auto length = static_cast<DWORD>(GetWindowTextLengthW(hwnd()));
  const std::wstring wide = Cp932ToWide(text);
  Send(hwnd(), EM_SETSEL, length, length);
  Send(hwnd(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
  if (start != length || end != length) {
    Send(hwnd(), EM_SETSEL, start, end);
  }
}

int Memo::LineCount() const {
  return static_cast<int>(Send(hwnd(), EM_GETLINECOUNT));
}

void Memo::RemoveFirstLines(int count) {
  if (count <= 0) {
    return;
  }
  Updating updating(*this);
  const auto removed = static_cast<LONG_PTR>(Send(hwnd(), EM_LINEINDEX, count));
  if (removed <= 0) {
    return;
  }
  DWORD start = 0;
  DWORD end = 0;
  Send(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  Send(hwnd(), EM_SETSEL, 0, removed);
  Send(hwnd(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
  const auto shift = [removed](DWORD position) {
    return static_cast<DWORD>(std::max<LONG_PTR>(static_cast<LONG_PTR>(position) - removed, 0));
  };
  Send(hwnd(), EM_SETSEL, shift(start), shift(end));
}

void Memo::OnCommand(WORD code) {
  if (code == EN_CHANGE && !updating() && on_change) {
    on_change();
  }
}

// ---------------------------------------------------------------------------------------------
// Lists

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

// ---------------------------------------------------------------------------------------------
// Spin edit

SpinEdit::SpinEdit(Window& owner, const CreateArgs& args, int minimum, int maximum, int value,
                   std::function<void(int)> on_change)
    : Control(owner, L"EDIT", args, ES_AUTOHSCROLL | ES_NUMBER | WS_TABSTOP, WS_EX_CLIENTEDGE),
      on_change(std::move(on_change)),
      minimum_(minimum),
      maximum_(maximum),
      last_value_(Clamp(value)) {
  up_down_ = CreateWindowExW(
      0, UPDOWN_CLASSW, nullptr,
      WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_HOTTRACK, 0,
      0, 0, 0, owner.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  if (up_down_ == nullptr) {
    throw Error("コントロールを作成できません");
  }
  Send(up_down_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd()));
  Send(up_down_, UDM_SETRANGE32, static_cast<WPARAM>(minimum_), maximum_);
  SetValue(last_value_);
  SpinEdit::Layout();
}

SpinEdit::~SpinEdit() {
  if (up_down_ != nullptr && IsWindow(up_down_)) {
    DestroyWindow(up_down_);
  }
}

int SpinEdit::Clamp(int value) const {
  return std::clamp(value, minimum_, maximum_);
}

int SpinEdit::Value() const {
  const std::string text = Text();
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
    return minimum_;
  }
  return Clamp(value);
}

void SpinEdit::SetValue(int value) {
  last_value_ = Clamp(value);
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

// ---------------------------------------------------------------------------------------------
// Tabs

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
  return LogicalRect{ToLogical(area.left, dpi), ToLogical(area.top, dpi),
                     ToLogical(area.right - area.left, dpi),
                     ToLogical(area.bottom - area.top, dpi)};
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

// ---------------------------------------------------------------------------------------------
// List view

ListView::ListView(Window& owner, const CreateArgs& args,
                   std::function<std::string(int row, int column)> cell_text)
    : Control(owner, WC_LISTVIEWW, args,
              LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_TABSTOP),
      cell_text_(std::move(cell_text)) {
  Send(hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
       LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
}

ListView::~ListView() {
  if (row_height_images_ != nullptr) {
    ImageList_Destroy(row_height_images_);
  }
}

void ListView::AddColumn(std::string_view title, int width) {
  std::wstring wide = Cp932ToWide(title);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = wide.data();
  column.cx = owner().Scale(width);
  column.iSubItem = ColumnCount();
  Send(hwnd(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(ColumnCount()),
       reinterpret_cast<LPARAM>(&column));
  column_widths_.push_back(width);
}

void ListView::SetRowHeight(int height) {
  row_height_ = height;
  Layout();
}

void ListView::Layout() {
  Control::Layout();
  for (size_t i = 0; i < column_widths_.size(); ++i) {
    Send(hwnd(), LVM_SETCOLUMNWIDTH, i, owner().Scale(column_widths_[i]));
  }
  if (row_height_ > 0) {
    // A list view takes its row height from its small images: an image list one pixel wide and
    // one row high sets it.
    HIMAGELIST images = ImageList_Create(1, owner().Scale(row_height_), ILC_COLOR, 1, 1);
    Send(hwnd(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    if (row_height_images_ != nullptr) {
      ImageList_Destroy(row_height_images_);
    }
    row_height_images_ = images;
  }
}

void ListView::SetRowCount(int rows) {
  Send(hwnd(), LVM_SETITEMCOUNT, static_cast<WPARAM>(std::max(rows, 0)), 0);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

int ListView::RowCount() const {
  return static_cast<int>(Send(hwnd(), LVM_GETITEMCOUNT));
}

int ListView::SelectedRow() const {
  return static_cast<int>(Send(hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListView::SelectRow(int row) {
  Updating updating(*this);
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = 0;
  Send(hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  if (row < 0 || row >= RowCount()) {
    return;
  }
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  Send(hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
  Send(hwnd(), LVM_SETSELECTIONMARK, 0, row);
  Send(hwnd(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void ListView::RedrawRow(int row) {
  Send(hwnd(), LVM_REDRAWITEMS, row, row);
}

RECT ListView::CellRect(int row, int column) const {
  RECT cell{};
  cell.top = column;
  cell.left = LVIR_BOUNDS;
  Send(hwnd(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
  if (column == 0) {
    // The bounds of sub-item 0 are the whole row; the cell ends where column 0 does.
    cell.right = cell.left + static_cast<LONG>(Send(hwnd(), LVM_GETCOLUMNWIDTH, 0));
  }
  return cell;
}

int ListView::RowAt(POINT client_point, int* column) const {
  LVHITTESTINFO hit{};
  hit.pt = client_point;
  const auto row = Send(hwnd(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (column != nullptr) {
    *column = hit.iSubItem;
  }
  return static_cast<int>(row);
}

bool ListView::OnNotify(const NMHDR& header, LRESULT& result) {
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      auto& info = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
      if ((info.item.mask & LVIF_TEXT) != 0 && info.item.pszText != nullptr &&
          info.item.cchTextMax > 0) {
        const std::wstring text = cell_text_
                                      ? Cp932ToWide(cell_text_(info.item.iItem, info.item.iSubItem))
                                      : std::wstring();
        const size_t copied =
            text.copy(info.item.pszText, static_cast<size_t>(info.item.cchTextMax - 1));
        info.item.pszText[copied] = L'\0';
      }
      result = 0;
      return true;
    }
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      const bool selection_changed = (change.uChanged & LVIF_STATE) != 0 &&
                                     ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) != 0;
      if (selection_changed && !updating() && on_selection_change) {
        on_selection_change(SelectedRow());
      }
      result = 0;
      return true;
    }
    case NM_DBLCLK: {
      const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
      if (on_double_click && activate.iItem >= 0) {
        on_double_click(activate.iItem, activate.iSubItem);
      }
      result = 0;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace talvorine::win32
