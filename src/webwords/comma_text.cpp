#include "webwords/comma_text.h"

namespace talvorine::webwords {

std::vector<std::string> SplitCommaText(std::string_view text) {
  std::vector<std::string> items;
  ForEachCommaItem(text, [&items](std::string_view item) { items.emplace_back(item); });
  return items;
}

}  // namespace talvorine::webwords
