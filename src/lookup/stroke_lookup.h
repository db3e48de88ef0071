#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "lookup/candidate_list.h"
#include "lookup/key_event.h"
#include "lookup/phrase_table.h"
#include "lookup/stroke_buffer.h"

namespace talvorine::lookup {

enum class KeyResult {
  kStayOpen,
  kHide,
  kConfirm,
};

struct KeyOutcome {
  KeyResult result = KeyResult::kStayOpen;
  // For kConfirm: the candidate line at the selection row, or none when the list is empty.
  std::optional<std::string> line;
};

// The stroke lookup: the StrokeBuffer, the candidate list drawn from the main and the web table,
// and the selection row (1-based; there is always at least one row, an empty one when nothing
// is listed).
class StrokeLookup {
 public:
  // Empties the StrokeBuffer and lists every line of both tables. The tables are remembered and
  // read again, as they stand then, by every rebuild until the next Open: they must outlive
  // those calls.
  void Open(const PhraseTable& main_table, const PhraseTable& web_table);

  // One key press in the candidate window: edits the StrokeBuffer, narrows the candidate list,
  // moves the selection, and says whether the window stays open, hides, or confirms a line.
  KeyOutcome HandleKey(KeyEvent key, bool auto_confirm);

  // Sets the selection row, kept within 1..max(candidate count, 1).
  void Select(std::size_t row);

  std::size_t candidate_count() const { return candidates_.size(); }
  // The candidate line at a 0-based index below candidate_count() (row index + 1).
  std::string_view candidate(std::size_t index) const { return candidates_.line(index); }
  std::size_t selection_row() const { return selection_row_; }
  const StrokeBuffer& stroke_buffer() const { return stroke_buffer_; }

 private:
  std::size_t RowCount() const;

  const PhraseTable* main_table_ = nullptr;
  const PhraseTable* web_table_ = nullptr;
  StrokeBuffer stroke_buffer_;
  CandidateList candidates_;
  std::size_t selection_row_ = 1;
};

}  // namespace talvorine::lookup
