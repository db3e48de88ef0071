#pragma once

#include <bit>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace talvorine::files {

// The position of the first line end at or after `from`, or text.size() when there is none: CR
// or LF, and with kNulEndsText also a NUL byte. Looks at 16 bytes at a time where the machine
// allows it: a phrase file of a million lines is split at close to the speed of reading it.
// Inline: it runs once per line.
enum class NulByte { kIsText, kEndsText };
inline std::size_t FindLineEnd(std::string_view text, std::size_t from,
                               NulByte nul = NulByte::kIsText) {
  const char* data = text.data();
  const bool stop_at_nul = nul == NulByte::kEndsText;
  std::size_t at = from;
#ifdef __SSE2__
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  // With NUL as text this compares with CR a second time, which finds nothing new.
  const __m128i third = _mm_set1_epi8(stop_at_nul ? '\0' : '\r');
  for (; at + 16 <= text.size(); at += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    const __m128i ends =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)),
                     _mm_cmpeq_epi8(block, third));
    const int hits = _mm_movemask_epi8(ends);
    if (hits != 0) {
      return at + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(hits)));
    }
  }
#endif
  for (; at < text.size(); ++at) {
    if (data[at] == '\r' || data[at] == '\n' || (stop_at_nul && data[at] == '\0')) {
      return at;
    }
  }
  return text.size();
}

// The lines of a text: a line ends at CR LF, a lone CR or a lone LF; a last line without a line
// end is still a line, and a line end at the very end adds no empty one.
std::vector<std::string> SplitTextLines(std::string_view text);

}  // namespace talvorine::files
