#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace talvorine {

// The record's first line, which it holds from the moment the main window exists.
inline constexpr std::string_view kErrorRecordTitle = "【Talvorine エラー記録】";

// The error record: an ordered list of text lines to which any part of the program adds a line.
// On the desktop it is the memo on the "エラー記録" tab, which the user may also type into.
class ErrorRecord {
 public:
  virtual ~ErrorRecord() = default;
  // Appends a text; a text that holds line breaks (CR LF, CR or LF) becomes several lines.
  virtual void AddLine(std::string_view text) = 0;
  // The whole record, every line followed by CR LF, as the log file holds it.
  virtual std::string Text() const = 0;
};

// The record's title and the version line after it: the lines the program's record keeps when
// older lines go.
inline constexpr std::size_t kErrorRecordHeadLines = 2;

// The record kept in memory, for programs and tests without a window. It keeps at most
// max_lines lines, dropping the oldest after its first kept_first_lines, so a flood of lines
// cannot exhaust memory and the record still says what it is.
class MemoryErrorRecord : public ErrorRecord {
 public:
  static constexpr std::size_t kDefaultMaxLines = 20000;

  explicit MemoryErrorRecord(std::size_t max_lines = kDefaultMaxLines,
                             std::size_t kept_first_lines = 0)
      : max_lines_(max_lines), kept_first_lines_(std::min(kept_first_lines, max_lines)) {}

  void AddLine(std::string_view text) override;
  std::string Text() const override;
  const std::deque<std::string>& lines() const { return lines_; }

 private:
  std::size_t max_lines_;
  std::size_t kept_first_lines_;
  std::deque<std::string> lines_;
};

// Splits a text into lines at CR LF, lone CR and lone LF; a text without breaks is one line.
void ForEachLine(std::string_view text, const auto& on_line) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      on_line(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
        ++i;
      }
      start = i + 1;
    }
  }
  if (start < text.size() || start == 0) {
    on_line(text.substr(start));
  }
}

}  // namespace talvorine
