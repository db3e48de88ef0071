#include "common/error.h"

namespace talvorine {

std::string FormatMessageText(std::string_view pattern, std::string_view argument) {
  std::string text(pattern);
  if (auto at = text.find("%s"); at != std::string::npos) {
    text.replace(at, 2, argument);
  }
  return text;
}

}  // namespace talvorine
