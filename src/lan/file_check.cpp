#include "lan/file_check.h"

#include <array>
#include <charconv>
#include <system_error>

namespace talvorine::lan {

namespace {

constexpr std::string_view kTrailerMark = "CHK:";
constexpr std::size_t kCrcDigits = 8;
// Enough for every 64-bit size.
constexpr std::size_t kMaxSizeDigits = 20;

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) {
      c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    table[n] = c;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

bool AllDigits(std::string_view text, bool hexadecimal) {
  for (const char c : text) {
    const bool digit = c >= '0' && c <= '9';
    const bool hex_letter = c >= 'A' && c <= 'F';
    if (!digit && !(hexadecimal && hex_letter)) {
      return false;
    }
  }
  return !text.empty();
}

}  // namespace

void Crc32::Add(std::string_view bytes) {
  for (const char byte : bytes) {
    state_ = kCrcTable[(state_ ^ static_cast<unsigned char>(byte)) & 0xFFu] ^ (state_ >> 8);
  }
}

std::string FileCheckTrailer(const FileCheck& check) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string trailer(1, '\0');
  trailer += kTrailerMark;
  trailer += std::to_string(check.size);
  trailer += ':';
  for (int shift = 28; shift >= 0; shift -= 4) {
    trailer += kHex[(check.crc32 >> shift) & 0xFu];
  }
  return trailer;
}

std::optional<FileCheck> ReadFileCheck(std::string_view payload) {
  const std::size_t zero = payload.find('\0');
  if (zero == std::string_view::npos) {
    return std::nullopt;
  }
  std::string_view trailer = payload.substr(zero + 1);
  if (trailer.substr(0, kTrailerMark.size()) != kTrailerMark) {
    return std::nullopt;
  }
  trailer.remove_prefix(kTrailerMark.size());
  const std::size_t colon = trailer.find(':');
  if (colon == std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view size_text = trailer.substr(0, colon);
  const std::string_view crc_text = trailer.substr(colon + 1);
  if (size_text.size() > kMaxSizeDigits || !AllDigits(size_text, false) ||
      crc_text.size() != kCrcDigits || !AllDigits(crc_text, true)) {
    return std::nullopt;
  }
  FileCheck check;
  const char* size_end = size_text.data() + size_text.size();
  const auto [size_stop, size_error] = std::from_chars(size_text.data(), size_end, check.size);
  if (size_error != std::errc() || size_stop != size_end) {
    return std::nullopt;  // beyond 64 bits
  }
  std::from_chars(crc_text.data(), crc_text.data() + crc_text.size(), check.crc32, 16);
  return check;
}

}  // namespace talvorine::lan
