#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace talvorine {

// A failure the user may see: its message is the program's own cp932 text.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// Replaces the first "%s" of a message pattern ("ファイル %s は開けません") with the argument.
std::string FormatMessageText(std::string_view pattern, std::string_view argument);

}  // namespace talvorine
