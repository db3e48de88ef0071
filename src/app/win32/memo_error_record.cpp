#include "app/win32/memo_error_record.h"

#include <algorithm>

namespace talvorine::win32 {

MemoErrorRecord::MemoErrorRecord(std::size_t max_lines, UINT show_delay)
    : max_lines_(max_lines), show_delay_(show_delay), lines_(max_lines, kErrorRecordHeadLines) {
  lines_.AddLine(kErrorRecordTitle);
}

MemoErrorRecord::~MemoErrorRecord() {
  CancelShow();
}

void MemoErrorRecord::Attach(Memo* memo) {
  CancelShow();
  memo_ = memo;
  pending_.clear();
  user_edited_ = false;
  memo_->SetValue(lines_.Text());
  memo_->on_change = [this] {
    user_edited_ = true;
    ScheduleShow();
  };
}

void MemoErrorRecord::Detach() {
  if (Attached()) {
    lines_ = Current();
    memo_->on_change = nullptr;
  }
  CancelShow();
  pending_.clear();
  user_edited_ = false;
  memo_ = nullptr;
}

void MemoErrorRecord::AddLine(std::string_view text) {
  ForEachLine(text, [this](std::string_view line) {
    lines_.AddLine(line);
    if (Attached()) {
      pending_.emplace_back(line);
      if (pending_.size() > max_lines_) {
        pending_.pop_front();
      }
    }
  });
  if (Attached()) {
    ScheduleShow();
  }
}

MemoryErrorRecord MemoErrorRecord::Current() const {
  if (!Attached() || !user_edited_) {
    return lines_;
  }
  MemoryErrorRecord current(max_lines_, kErrorRecordHeadLines);
  const std::string typed = memo_->Text();
  if (!typed.empty()) {
    current.AddLine(typed);
  }
  for (const std::string& line : pending_) {
    current.AddLine(line);
  }
  return current;
}

std::string MemoErrorRecord::Text() const {
  return Current().Text();
}

void MemoErrorRecord::Show() {
  CancelShow();
  if (!Attached()) {
    return;
  }
  if (user_edited_) {
    lines_ = Current();
    user_edited_ = false;
  }
  if (pending_.size() >= max_lines_) {
    // Everything the memo showed has gone out of the record.
    memo_->SetValue(lines_.Text());
    pending_.clear();
    return;
  }
  if (pending_.empty()) {
    return;
  }
  // Text the user left at the end without a line break ends its line first.
  const int count = memo_->LineCount();
  const auto last_start = SendMessageW(memo_->hwnd(), EM_LINEINDEX, count - 1, 0);
  std::string block = SendMessageW(memo_->hwnd(), EM_LINELENGTH, last_start, 0) > 0 ? "\r\n" : "";
  for (const std::string& line : pending_) {
    block += line;
    block += "\r\n";
  }
  pending_.clear();
  memo_->Append(block);
  // The memo may run a little over the record's length before the oldest lines after the title
  // and version lines go, so that they go in large steps rather than one by one.
  const int shown = memo_->LineCount() - 1;  // the empty line after the last break
  const int slack = static_cast<int>(max_lines_ / 16);
  if (shown > static_cast<int>(max_lines_) + slack) {
    memo_->RemoveLines(static_cast<int>(kErrorRecordHeadLines),
                       shown - static_cast<int>(max_lines_));
  }
}

void MemoErrorRecord::ScheduleShow() {
  if (show_scheduled_ || !Attached()) {
    return;
  }
  // The timer's id is this record; its procedure runs without a window procedure of ours.
  show_scheduled_ =
      SetTimer(memo_->hwnd(), reinterpret_cast<UINT_PTR>(this), show_delay_, ShowTimer) != 0;
}

void MemoErrorRecord::CancelShow() {
  if (show_scheduled_ && Attached()) {
    KillTimer(memo_->hwnd(), reinterpret_cast<UINT_PTR>(this));
  }
  show_scheduled_ = false;
}

void CALLBACK MemoErrorRecord::ShowTimer(HWND /*hwnd*/, UINT /*message*/, UINT_PTR id,
                                         DWORD /*time*/) {
  auto* self = reinterpret_cast<MemoErrorRecord*>(id);
  try {
    self->Show();
  } catch (...) {
    // Out of memory while showing: the record itself is intact, and the loop must go on.
  }
}

}  // namespace talvorine::win32
