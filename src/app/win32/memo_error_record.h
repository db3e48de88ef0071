#pragma once

#include <windows.h>

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "common/error_record.h"
#include "ui/win32/controls.h"

namespace talvorine::win32 {

// The error record on the "エラー記録" tab. The record itself is kept in memory, at most
// max_lines lines (the title and version lines stay when older lines go), so adding a line costs
// time in proportion to the line whatever the record holds; the memo shows it and is brought up to
// date a moment later, in one step for all the lines added meanwhile, so a flood of lines can
// neither exhaust memory nor freeze the window. What the user types into the memo belongs to the
// record.
class MemoErrorRecord : public ErrorRecord {
 public:
  static constexpr UINT kDefaultShowDelay = 100;  // milliseconds

  explicit MemoErrorRecord(std::size_t max_lines = MemoryErrorRecord::kDefaultMaxLines,
                           UINT show_delay = kDefaultShowDelay);
  ~MemoErrorRecord() override;
  MemoErrorRecord(const MemoErrorRecord&) = delete;
  MemoErrorRecord& operator=(const MemoErrorRecord&) = delete;

  // The memo shows the record from now on; it starts with the title line and what came before.
  void Attach(Memo* memo);
  // The memo goes away: the record keeps what it held, typed text included.
  void Detach();

  void AddLine(std::string_view text) override;
  std::string Text() const override;

  // Brings the memo up to date now (otherwise a timer does it after show_delay).
  void Show();

 private:
  bool Attached() const { return memo_ != nullptr && memo_->hwnd() != nullptr; }
  // The record as it stands: the memo's text where the user has typed into it, then the lines
  // added since the memo was last brought up to date.
  MemoryErrorRecord Current() const;
  void ScheduleShow();
  void CancelShow();
  static void CALLBACK ShowTimer(HWND hwnd, UINT message, UINT_PTR id, DWORD time);

  std::size_t max_lines_;
  UINT show_delay_;
  Memo* memo_ = nullptr;
  MemoryErrorRecord lines_;
  // Lines not yet in the memo, oldest first; never more than max_lines.
  std::deque<std::string> pending_;
  bool user_edited_ = false;
  bool show_scheduled_ = false;
};

}  // namespace talvorine::win32
