#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/error_record.h"
#include "app/win32/controls.h"

namespace talvorine::win32 {

// The error record on the "エラー記録" tab: the memo's text is the record, so what the user types
// into it belongs to it. Lines added before the memo exists wait in memory and go in first.
// Adding a line appends at the end and never rewrites what is there; beyond max_lines the
// oldest lines go, so a flood of lines can neither exhaust memory nor freeze the window.
class MemoErrorRecord : public app::ErrorRecord {
 public:
  explicit MemoErrorRecord(std::size_t max_lines = app::MemoryErrorRecord::kDefaultMaxLines);

  // The memo from now on; it is given the title line and whatever waited.
  void Attach(Memo* memo);
  void Detach() { memo_ = nullptr; }

  void AddLine(std::string_view text) override;
  std::string Text() const override;

 private:
  // Lines in the memo: its line count without the empty line after a final line break.
  int LinesInMemo() const;
  void AppendToMemo(std::string_view text);

  std::size_t max_lines_;
  Memo* memo_ = nullptr;
  app::MemoryErrorRecord waiting_;
};

}  // namespace talvorine::win32
