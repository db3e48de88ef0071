#include "ui/win32/controls.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/control_message.h"
#include "ui/win32/wide_text.h"

namespace talvorine::win32 {

ListView::ListView(Window& owner, const CreateArgs& args,
                   std::function<std::string(int row, int column)> cell_text)
    : Control(owner, WC_LISTVIEWW, args,
              // The row-height image list is this wrapper's to free, not the control's.
              LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_SHAREIMAGELISTS |
                  WS_TABSTOP),
      cell_text_(std::move(cell_text)) {
  Send(hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
       LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
}

ListView::~ListView() {
  if (row_height_images_ != nullptr) {
    if (hwnd() != nullptr) {
      Send(hwnd(), LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    }
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
  // Only the selected and the focused row are cleared (one each in a single-selection list):
  // clearing "every row" (index -1) walks all rows of an owner-data list under Wine, about a
  // second for a table of a million lines.
  for (const UINT which : {UINT{LVNI_SELECTED}, UINT{LVNI_FOCUSED}}) {
    const LRESULT current = Send(hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), which);
    if (current >= 0) {
      Send(hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(current),
           reinterpret_cast<LPARAM>(&state));
    }
  }
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
