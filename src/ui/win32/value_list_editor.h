#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "lookup/phrase_table.h"
#include "ui/win32/controls.h"

namespace talvorine::win32 {

// The two halves of a table line: the key before the first "=", the value after it. A line
// without "=" is all key.
struct KeyValue {
  std::string_view key;
  std::string_view value;
};
KeyValue SplitTableLine(std::string_view line);
// The line a key and a value make; an empty key with an empty value stays an empty line.
std::string JoinTableLine(std::string_view key, std::string_view value);

// A two-column editor of a phrase table ("割り当て" / "送信値"): every cell can be edited in
// place (double-click, F2, Enter or typing), Insert inserts a row above the current one, Down
// on the last row appends one (unless that row is still empty), Ctrl+Delete deletes the current
// row. Every edit goes into the table at once. The rows are drawn from the table on demand, so a
// long table costs nothing.
class ValueListEditor {
 public:
  struct Look {
    std::string key_title{};
    std::string value_title{};
    int key_width = 100;    // 96-DPI units
    int value_width = 293;  // 96-DPI units
    int row_height = 20;    // 96-DPI units
  };

  ValueListEditor(Window& owner, const CreateArgs& args, const Look& look,
                  lookup::PhraseTable& table);
  ValueListEditor(const ValueListEditor&) = delete;
  ValueListEditor& operator=(const ValueListEditor&) = delete;

  // The table changed from outside (a file was loaded): every row is drawn again.
  void Refresh();
  void MoveTo(const LogicalRect& rect);
  HWND hwnd() const { return list_.hwnd(); }
  bool IsEditing() const { return editing_.has_value(); }
  int CurrentRow() const { return list_.SelectedRow(); }
  int CurrentColumn() const { return column_; }
  // Runs after every change the user makes to the table.
  std::function<void()> on_change;

 private:
  struct Cell {
    int row;
    int column;
  };
  std::string CellText(int row, int column) const;
  bool ListMessage(UINT message, WPARAM w_param, LPARAM l_param, LRESULT& result);
  bool EditorMessage(UINT message, WPARAM w_param, LPARAM l_param, LRESULT& result);
  void BeginEdit(Cell cell, std::optional<wchar_t> first_character);
  void EndEdit(bool commit);
  void InsertRow();
  void AppendRow();
  void DeleteRow();
  void SelectRow(int row);
  void Changed();

  Window& owner_;
  lookup::PhraseTable& table_;
  ListView list_;
  Edit editor_;
  std::optional<Cell> editing_;
  int column_ = 0;
};

}  // namespace talvorine::win32
