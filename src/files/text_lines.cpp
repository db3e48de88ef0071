#include "files/text_lines.h"

namespace talvorine::files {

std::vector<std::string> SplitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = FindLineEnd(text, start);
    lines.emplace_back(text.substr(start, end - start));
    if (end == text.size()) {
      break;
    }
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    start = end + (crlf ? 2 : 1);
  }
  return lines;
}

}  // namespace talvorine::files
