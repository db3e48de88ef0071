#pragma once

#include <string>
#include <string_view>

namespace talvorine {

// Conversions between the program's cp932 text and UTF-8 (terminals, Linux file names).
// Bytes that do not convert become "?" so that a bad byte never loses the rest of a text.
std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);

}  // namespace talvorine
