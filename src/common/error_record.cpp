#include "common/error_record.h"

namespace talvorine {

void MemoryErrorRecord::AddLine(std::string_view text) {
  ForEachLine(text, [this](std::string_view line) {
    lines_.emplace_back(line);
    if (lines_.size() > max_lines_) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(kept_first_lines_));
    }
  });
}

std::string MemoryErrorRecord::Text() const {
  std::string text;
  for (const auto& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace talvorine
