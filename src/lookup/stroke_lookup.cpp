#include "lookup/stroke_lookup.h"

#include <algorithm>

namespace talvorine::lookup {

namespace {

// What a rebuild reads before the first Open: nothing.
const PhraseTable& NoTable() {
  static const PhraseTable no_table;
  return no_table;
}

}  // namespace

void StrokeLookup::Open(const PhraseTable& main_table, const PhraseTable& web_table) {
  main_table_ = &main_table;
  web_table_ = &web_table;
  stroke_buffer_.Clear();
  // The selection carries over from the last opening, but only as far as the main table's rows
  // reach: the web lines appended after them do not count for the cap.
  selection_row_ = std::min(selection_row_, std::max<std::size_t>(main_table.size(), 1));
  candidates_.ListAll(main_table.content(), web_table.content());
}

KeyOutcome StrokeLookup::HandleKey(KeyEvent key, bool auto_confirm) {
  if (key.virtual_key == kVkEscape) {
    if (stroke_buffer_.empty()) {
      return {KeyResult::kHide, std::nullopt};
    }
    stroke_buffer_.Clear();
  } else if (key.virtual_key == kVkBack) {
    stroke_buffer_.RemoveLast();
  } else if (const std::optional<char> c = StrokeCharacter(key)) {
    stroke_buffer_.Append(*c);
  }

  // Every other key, even one that changed nothing above, narrows the list again.
  const std::size_t remembered_row = selection_row_;
  const StrokePrefix prefix(stroke_buffer_.text());
  if (stroke_buffer_.size() >= 2) {
    // Lines removed for a longer StrokeBuffer do not come back after a Backspace.
    candidates_.Filter(prefix);
    selection_row_ = std::min(remembered_row, RowCount());
  } else {
    const PhraseTable& main_table = main_table_ ? *main_table_ : NoTable();
    const PhraseTable& web_table = web_table_ ? *web_table_ : NoTable();
    candidates_.Rebuild(main_table.content(), web_table.content(), prefix);
    selection_row_ = remembered_row <= RowCount() ? remembered_row : 1;
  }

  const bool confirms = key.virtual_key == kVkReturn || (auto_confirm && candidates_.size() == 1);
  if (!confirms) {
    return {KeyResult::kStayOpen, std::nullopt};
  }
  if (candidates_.empty()) {
    return {KeyResult::kConfirm, std::nullopt};
  }
  return {KeyResult::kConfirm, std::string(candidates_.line(selection_row_ - 1))};
}

void StrokeLookup::Select(std::size_t row) {
  selection_row_ = std::clamp<std::size_t>(row, 1, RowCount());
}

std::size_t StrokeLookup::RowCount() const {
  return std::max<std::size_t>(candidates_.size(), 1);
}

}  // namespace talvorine::lookup
