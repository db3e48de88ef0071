#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace talvorine::desktop {

// A cell of the candidate list: the row (1-based, as the lookup counts) and the column (0 the
// stroke, 1 the phrase).
struct ListCell {
  std::size_t row = 1;
  int column = 0;
  bool operator==(const ListCell&) const = default;
};

// The list's own handling of a key, after the lookup has had it: where the selection goes within
// rows 1..row_count, or none when the key does not move it. Up/Left and Down/Right go one row,
// Page Up/Page Down a page of page_rows; Home, Ctrl+Home and Ctrl+Up go to the first row, End,
// Ctrl+End and Ctrl+Down to the last; Tab and Shift+Tab step from cell to cell, wrapping from the
// last row to the first and back.
std::optional<ListCell> NavigateList(ListCell at, std::size_t row_count, std::size_t page_rows,
                                     std::uint16_t virtual_key, bool ctrl_down, bool shift_down);

}  // namespace talvorine::desktop
