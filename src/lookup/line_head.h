#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

namespace talvorine::lookup {

// The first bytes of a line packed into one word: bytes 0 to 6 of the line in bits 0 to 55
// (zero where the line is shorter), its length capped at 255 in bits 56 to 63. Kept in a
// contiguous array beside the lines, it lets a prefix scan decide nearly every line without
// touching the line's own storage.
using LineHead = std::uint64_t;

inline constexpr std::size_t kLineHeadBytes = 7;

constexpr LineHead MakeLineHead(std::string_view line) {
  const LineHead length = LineHead{std::min<std::size_t>(line.size(), 255)} << 56;
  if (!std::is_constant_evaluated() && line.size() > kLineHeadBytes) {
    // One load instead of seven: a million heads are made for every file loaded. The byte
    // order of the word is the machine's, so this holds on little-endian machines only.
    static_assert(std::endian::native == std::endian::little);
    LineHead word;
    std::memcpy(&word, line.data(), sizeof word);
    return (word & ((LineHead{1} << 56) - 1)) | length;
  }
  LineHead head = 0;
  const std::size_t inline_bytes = std::min(line.size(), kLineHeadBytes);
  for (std::size_t i = 0; i < inline_bytes; ++i) {
    head |= LineHead{static_cast<unsigned char>(line[i])} << (8 * i);
  }
  return head | length;
}

// "The line's first bytes equal the prefix", byte for byte, tested on a line's head first.
// A line shorter than the prefix does not match; the empty prefix matches every line.
class StrokePrefix {
 public:
  // The prefix text must outlive this object.
  constexpr explicit StrokePrefix(std::string_view prefix) : prefix_(prefix) {
    const std::size_t inline_bytes = std::min(prefix.size(), kLineHeadBytes);
    for (std::size_t i = 0; i < inline_bytes; ++i) {
      bytes_ |= LineHead{static_cast<unsigned char>(prefix[i])} << (8 * i);
      mask_ |= LineHead{0xFF} << (8 * i);
    }
    min_length_ = std::min<std::size_t>(prefix.size(), 255);
    // A head's padding is zero, so a prefix without a zero byte matches it only where the line
    // really holds that many bytes; only a prefix with a zero byte needs the length as well.
    length_decides_ = prefix.find('\0') != std::string_view::npos;
  }

  std::size_t size() const { return prefix_.size(); }
  std::string_view text() const { return prefix_; }

  // Whether the head alone decides (a prefix no longer than the head holds).
  bool HeadDecides() const { return prefix_.size() <= kLineHeadBytes; }

  // The test on the head alone; the whole answer when HeadDecides().
  bool MatchesHead(LineHead head) const {
    return (head & mask_) == bytes_ && !(length_decides_ && (head >> 56) < min_length_);
  }

  // `line` is read only for a prefix longer than the head holds.
  bool Matches(LineHead head, std::string_view line) const {
    if (!MatchesHead(head)) {
      return false;
    }
    if (HeadDecides()) {
      return true;
    }
    return line.size() >= prefix_.size() &&
           std::memcmp(line.data() + kLineHeadBytes, prefix_.data() + kLineHeadBytes,
                       prefix_.size() - kLineHeadBytes) == 0;
  }

 private:
  std::string_view prefix_;
  LineHead bytes_ = 0;
  LineHead mask_ = 0;
  LineHead min_length_ = 0;
  bool length_decides_ = false;
};

}  // namespace talvorine::lookup
