#pragma once

#include <cstdint>
#include <string_view>

namespace talvorine {

// True for a byte that opens a double-byte cp932 character; the byte after it is its second half.
constexpr bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace talvorine
