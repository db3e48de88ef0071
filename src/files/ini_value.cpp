#include "files/ini_value.h"

#include <cstdint>

#include "common/cp932.h"

namespace talvorine::files {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

int DigitValue(char c, int base) {
  int value = base;
  if (c >= '0' && c <= '9') {
    value = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    value = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    value = c - 'A' + 10;
  }
  return value < base ? value : -1;
}

}  // namespace

std::string_view TrimIniBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

std::string_view IniValueText(std::string_view after_equals) {
  std::string_view value = TrimIniBlanks(after_equals);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() > kIniValueLimit) {
    size_t end = 0;
    while (end < kIniValueLimit) {
      const size_t width = IsCp932LeadByte(static_cast<unsigned char>(value[end])) ? 2 : 1;
      if (end + width > kIniValueLimit) {
        break;
      }
      end += width;
    }
    value = value.substr(0, end);
  }
  return value;
}

std::optional<int> ParseIniInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.starts_with("$")) {
    base = 16;
    text.remove_prefix(1);
  }
  if (text.empty()) {
    return std::nullopt;
  }
  // One more than INT_MAX is allowed for the magnitude of INT_MIN.
  constexpr std::int64_t kLimit = std::int64_t{INT32_MAX} + 1;
  std::int64_t magnitude = 0;
  for (const char c : text) {
    const int digit = DigitValue(c, base);
    if (digit < 0) {
      return std::nullopt;
    }
    magnitude = magnitude * base + digit;
    if (magnitude > kLimit) {
      return std::nullopt;
    }
  }
  if (!negative && magnitude == kLimit) {
    return std::nullopt;
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

std::string FoldIniName(std::string_view name) {
  std::string folded(name);
  for (size_t i = 0; i < folded.size(); ++i) {
    const auto byte = static_cast<unsigned char>(folded[i]);
    if (IsCp932LeadByte(byte)) {
      ++i;
    } else if (byte >= 'A' && byte <= 'Z') {
      folded[i] = static_cast<char>(byte - 'A' + 'a');
    }
  }
  return folded;
}

}  // namespace talvorine::files
