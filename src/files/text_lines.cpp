#include "files/text_lines.h"

#include <bit>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace talvorine::files {

std::size_t FindLineEnd(std::string_view text, std::size_t from) {
  const char* data = text.data();
  std::size_t at = from;
#ifdef __SSE2__
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; at + 16 <= text.size(); at += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    const int hits =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)));
    if (hits != 0) {
      return at + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(hits)));
    }
  }
#endif
  for (; at < text.size(); ++at) {
    if (data[at] == '\r' || data[at] == '\n') {
      return at;
    }
  }
  return text.size();
}

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
