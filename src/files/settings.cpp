#include "files/settings.h"

#include "files/ini_value.h"

namespace talvorine::files {

int SpinEditValue(std::string_view shown_text, SpinRange range) {
  return range.Clamp(ParseIniInteger(TrimIniBlanks(shown_text)).value_or(range.min));
}

}  // namespace talvorine::files
