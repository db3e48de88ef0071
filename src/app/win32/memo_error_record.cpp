#include "app/win32/memo_error_record.h"

namespace talvorine::win32 {

MemoErrorRecord::MemoErrorRecord(std::size_t max_lines)
    : max_lines_(max_lines), waiting_(max_lines) {
  waiting_.AddLine(app::kErrorRecordTitle);
}

void MemoErrorRecord::Attach(Memo* memo) {
  memo_ = memo;
  memo_->SetValue(waiting_.Text());
  waiting_ = app::MemoryErrorRecord(max_lines_);
}

int MemoErrorRecord::LinesInMemo() const {
  const int count = memo_->LineCount();
  const auto last_start = SendMessageW(memo_->hwnd(), EM_LINEINDEX, count - 1, 0);
  const auto last_length = SendMessageW(memo_->hwnd(), EM_LINELENGTH, last_start, 0);
  return last_length == 0 ? count - 1 : count;
}

void MemoErrorRecord::AppendToMemo(std::string_view text) {
  // Text the user typed at the end without a line break ends its line first.
  const int count = memo_->LineCount();
  const auto last_start = SendMessageW(memo_->hwnd(), EM_LINEINDEX, count - 1, 0);
  const bool open_line = SendMessageW(memo_->hwnd(), EM_LINELENGTH, last_start, 0) > 0;
  std::string block = open_line ? "\r\n" : "";
  app::ForEachLine(text, [&block](std::string_view line) {
    block += line;
    block += "\r\n";
  });
  memo_->Append(block);
  const int excess = LinesInMemo() - static_cast<int>(max_lines_);
  if (excess > 0) {
    memo_->RemoveFirstLines(excess);
  }
}

void MemoErrorRecord::AddLine(std::string_view text) {
  if (memo_ == nullptr) {
    waiting_.AddLine(text);
    return;
  }
  AppendToMemo(text);
}

std::string MemoErrorRecord::Text() const {
  if (memo_ == nullptr) {
    return waiting_.Text();
  }
  std::string text = memo_->Text();
  // Every line ends in CR LF in the log, also one the user left open.
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') {
    text += "\r\n";
  }
  return text;
}

}  // namespace talvorine::win32
