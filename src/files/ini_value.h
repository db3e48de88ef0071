#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace talvorine::files {

// The longest value a settings key gives, in bytes.
inline constexpr std::size_t kIniValueLimit = 2047;

// The value of a key line from the text after its first "=": blanks (space, tab) removed at
// both ends, then one enclosing pair of double or single quotes, then cut to kIniValueLimit
// bytes without splitting a double-byte character.
std::string_view IniValueText(std::string_view after_equals);

// An integer in decimal, or in hexadecimal after "0x", "0X" or "$", with an optional sign.
// Nothing for any other text and for numbers outside the range of int.
std::optional<int> ParseIniInteger(std::string_view text);

// A section or key name folded for comparison without regard to case: ASCII letters in single
// bytes become lower case; the two bytes of a cp932 double-byte character stay as they are.
std::string FoldIniName(std::string_view name);

// The text with blanks (space, tab) removed at both ends.
std::string_view TrimIniBlanks(std::string_view text);

}  // namespace talvorine::files
