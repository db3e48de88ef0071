#include "ui/win32/value_list_editor.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/wide_text.h"

namespace talvorine::win32 {

KeyValue SplitTableLine(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    return {line, {}};
  }
  return {line.substr(0, equals), line.substr(equals + 1)};
}

std::string JoinTableLine(std::string_view key, std::string_view value) {
  if (key.empty() && value.empty()) {
    return {};
  }
  std::string line(key);
  line += '=';
  line += value;
  return line;
}

ValueListEditor::ValueListEditor(Window& owner, const CreateArgs& args, const Look& look,
                                 lookup::PhraseTable& table)
    : owner_(owner),
      table_(table),
      // The in-place editor is a sibling above the list, so its notifications reach the
      // owner; the list must not paint over it.
      list_(owner,
            {.id = args.id,
             .rect = args.rect,
             .hint = args.hint,
             .style = WS_CLIPSIBLINGS | args.style,
             .ex_style = WS_EX_CLIENTEDGE},
            [this](int row, int column) { return CellText(row, column); }),
      editor_(owner, {.id = args.id + 1, .rect = {0, 0, 0, 0}, .style = ES_AUTOHSCROLL}) {
  list_.AddColumn(look.key_title, look.key_width);
  list_.AddColumn(look.value_title, look.value_width);
  list_.SetRowHeight(look.row_height);
  list_.SetRowCount(static_cast<int>(table_.size()));
  list_.SetMessageFilter([this](UINT message, WPARAM w_param, LPARAM l_param, LRESULT& result) {
    return ListMessage(message, w_param, l_param, result);
  });
  editor_.SetVisible(false);
  editor_.SetMessageFilter([this](UINT message, WPARAM w_param, LPARAM l_param, LRESULT& result) {
    return EditorMessage(message, w_param, l_param, result);
  });
  list_.on_double_click = [this](int row, int column) { BeginEdit({row, column}, std::nullopt); };
  if (!table_.empty()) {
    list_.SelectRow(0);
  }
}

std::string ValueListEditor::CellText(int row, int column) const {
  if (row < 0 || static_cast<std::size_t>(row) >= table_.size()) {
    return {};
  }
  const KeyValue parts = SplitTableLine(table_.line(static_cast<std::size_t>(row)));
  return std::string(column == 0 ? parts.key : parts.value);
}

void ValueListEditor::Refresh() {
  EndEdit(false);
  const int selected = list_.SelectedRow();
  list_.SetRowCount(static_cast<int>(table_.size()));
  SelectRow(std::clamp(selected, 0, static_cast<int>(table_.size()) - 1));
}

void ValueListEditor::MoveTo(const LogicalRect& rect) {
  EndEdit(true);
  list_.MoveTo(rect);
}

void ValueListEditor::SelectRow(int row) {
  list_.SelectRow(row);
}

void ValueListEditor::Changed() {
  if (on_change) {
    on_change();
  }
}

bool ValueListEditor::ListMessage(UINT message, WPARAM w_param, LPARAM l_param, LRESULT& result) {
  switch (message) {
    case WM_GETDLGCODE: {
      // Enter, Escape and F2 belong to the editor, not to dialog navigation.
      const auto* pending = reinterpret_cast<const MSG*>(l_param);
      if (pending != nullptr && pending->message == WM_KEYDOWN &&
          (pending->wParam == VK_RETURN || pending->wParam == VK_ESCAPE)) {
        result = DLGC_WANTMESSAGE | DLGC_WANTARROWS | DLGC_WANTCHARS;
        return true;
      }
      return false;
    }
    case WM_KEYDOWN: {
      const bool ctrl = GetKeyState(VK_CONTROL) < 0;
      const int row = list_.SelectedRow();
      switch (w_param) {
        case VK_INSERT:
          InsertRow();
          result = 0;
          return true;
        case VK_DELETE:
          if (ctrl) {
            DeleteRow();
            result = 0;
            return true;
          }
          return false;
        case VK_DOWN:
          if (row == static_cast<int>(table_.size()) - 1 || table_.empty()) {
            // Held down, the key would pile up empty rows that end up in the saved file; a
            // new row comes only after one with text in it.
            if (table_.empty() || !table_.line(table_.size() - 1).empty()) {
              AppendRow();
            }
            result = 0;
            return true;
          }
          return false;
        case VK_LEFT:
        case VK_RIGHT:
          column_ = w_param == VK_LEFT ? 0 : 1;
          result = 0;
          return true;
        case VK_F2:
        case VK_RETURN:
          if (row >= 0) {
            BeginEdit({row, column_}, std::nullopt);
          }
          result = 0;
          return true;
        default:
          return false;
      }
    }
    case WM_CHAR:
      // Typing on a row starts editing its current cell with what was typed.
      if (w_param >= 0x20 && w_param != 0x7F && GetKeyState(VK_CONTROL) >= 0) {
        const int row = list_.SelectedRow();
        if (row >= 0) {
          BeginEdit({row, column_}, static_cast<wchar_t>(w_param));
          result = 0;
          return true;
        }
      }
      return false;
    case WM_LBUTTONDOWN: {
      int column = 0;
      POINT point{static_cast<short>(LOWORD(l_param)), static_cast<short>(HIWORD(l_param))};
      if (list_.RowAt(point, &column) >= 0) {
        column_ = std::clamp(column, 0, 1);
      }
      return false;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
      EndEdit(true);
      return false;
    default:
      return false;
  }
}

bool ValueListEditor::EditorMessage(UINT message, WPARAM w_param, LPARAM /*l_param*/,
                                    LRESULT& result) {
  switch (message) {
    case WM_GETDLGCODE:
      result = DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_HASSETSEL;
      return true;
    case WM_KEYDOWN:
      switch (w_param) {
        case VK_RETURN:
          EndEdit(true);
          list_.Focus();
          result = 0;
          return true;
        case VK_ESCAPE:
          EndEdit(false);
          list_.Focus();
          result = 0;
          return true;
        case VK_TAB: {
          // Tab goes on to the next cell: the value of this row, then the key of the next.
          const Cell cell = *editing_;
          EndEdit(true);
          if (cell.column == 0) {
            BeginEdit({cell.row, 1}, std::nullopt);
          } else if (cell.row + 1 < static_cast<int>(table_.size())) {
            SelectRow(cell.row + 1);
            BeginEdit({cell.row + 1, 0}, std::nullopt);
          } else {
            list_.Focus();
          }
          result = 0;
          return true;
        }
        case VK_UP:
        case VK_DOWN: {
          const Cell cell = *editing_;
          EndEdit(true);
          list_.Focus();
          const int next = cell.row + (w_param == VK_UP ? -1 : 1);
          if (next >= 0 && next < static_cast<int>(table_.size())) {
            SelectRow(next);
          } else if (w_param == VK_DOWN && !table_.line(table_.size() - 1).empty()) {
            AppendRow();
          }
          result = 0;
          return true;
        }
        default:
          return false;
      }
    case WM_CHAR:
      if (w_param == VK_RETURN || w_param == VK_ESCAPE || w_param == VK_TAB) {
        result = 0;  // already handled at WM_KEYDOWN; no beep
        return true;
      }
      if (w_param == L'=' && editing_ && editing_->column == 0) {
        // "=" separates key and value; in a key it would move the rest into the value.
        MessageBeep(MB_OK);
        result = 0;
        return true;
      }
      return false;
    case WM_KILLFOCUS:
      if (editing_) {
        EndEdit(true);
      }
      return false;
    default:
      return false;
  }
}

void ValueListEditor::BeginEdit(Cell cell, std::optional<wchar_t> first_character) {
  EndEdit(true);
  if (cell.row < 0 || static_cast<std::size_t>(cell.row) >= table_.size()) {
    return;
  }
  cell.column = std::clamp(cell.column, 0, 1);
  column_ = cell.column;
  list_.SelectRow(cell.row);
  RECT area = list_.CellRect(cell.row, cell.column);
  MapWindowPoints(list_.hwnd(), owner_.hwnd(), reinterpret_cast<POINT*>(&area), 2);
  editing_ = cell;
  if (first_character) {
    editor_.SetValue(WideToCp932(std::wstring(1, *first_character)));
  } else {
    editor_.SetValue(CellText(cell.row, cell.column));
  }
  SetWindowPos(editor_.hwnd(), HWND_TOP, area.left, area.top, area.right - area.left,
               area.bottom - area.top, SWP_SHOWWINDOW);
  editor_.Focus();
  if (first_character) {
    SendMessageW(editor_.hwnd(), EM_SETSEL, 1, 1);
  } else {
    SendMessageW(editor_.hwnd(), EM_SETSEL, 0, -1);
  }
}

void ValueListEditor::EndEdit(bool commit) {
  if (!editing_) {
    return;
  }
  const Cell cell = *editing_;
  editing_.reset();
  const std::string text = editor_.Text();
  editor_.SetVisible(false);
  if (!commit || static_cast<std::size_t>(cell.row) >= table_.size()) {
    return;
  }
  if (text == CellText(cell.row, cell.column)) {
    return;  // a cell left as it was leaves its line as it was ("cc" does not become "cc=")
  }
  const auto row = static_cast<std::size_t>(cell.row);
  const KeyValue parts = SplitTableLine(table_.line(row));
  std::string line =
      cell.column == 0 ? JoinTableLine(text, parts.value) : JoinTableLine(parts.key, text);
  if (line != table_.line(row)) {
    table_.SetLine(row, std::move(line));
    list_.RedrawRow(cell.row);
    Changed();
  }
}

void ValueListEditor::InsertRow() {
  EndEdit(true);
  const int row = std::max(list_.SelectedRow(), 0);
  table_.InsertLine(static_cast<std::size_t>(std::min<std::size_t>(row, table_.size())), {});
  list_.SetRowCount(static_cast<int>(table_.size()));
  SelectRow(row);
  Changed();
}

void ValueListEditor::AppendRow() {
  EndEdit(true);
  table_.AppendLine({});
  list_.SetRowCount(static_cast<int>(table_.size()));
  SelectRow(static_cast<int>(table_.size()) - 1);
  Changed();
}

void ValueListEditor::DeleteRow() {
  EndEdit(false);
  const int row = list_.SelectedRow();
  if (row < 0 || static_cast<std::size_t>(row) >= table_.size()) {
    return;
  }
  table_.EraseLine(static_cast<std::size_t>(row));
  list_.SetRowCount(static_cast<int>(table_.size()));
  SelectRow(std::min(row, static_cast<int>(table_.size()) - 1));
  Changed();
}

}  // namespace talvorine::win32
