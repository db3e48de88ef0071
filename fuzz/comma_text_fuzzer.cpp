// Web word files come from other people's servers: the split and the row cleaning must take any
// bytes without a crash, and what they give must hold together.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "webwords/comma_text.h"
#include "webwords/web_word_rows.h"

namespace {

using talvorine::webwords::HasStroke;
using talvorine::webwords::RemoveRowsWithoutStroke;
using talvorine::webwords::SplitCommaText;

void Check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

// Every item quoted, quotes doubled, separated by commas: text that must split back into the
// same items.
std::string QuoteAll(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) {
      text += ',';
    }
    text += '"';
    for (char c : items[i]) {
      text += c;
      if (c == '"') {
        text += '"';
      }
    }
    text += '"';
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> items = SplitCommaText(text);

  std::size_t item_bytes = 0;
  for (const std::string& item : items) {
    Check(item.find('\0') == std::string::npos);
    item_bytes += item.size();
  }
  // Items are pieces of the text; quoting and separators only take bytes away.
  Check(item_bytes <= size);

  Check(SplitCommaText(QuoteAll(items)) == items);

  std::vector<std::string> rows = items;
  RemoveRowsWithoutStroke(rows);
  std::size_t next = 0;
  for (const std::string& item : items) {
    if (HasStroke(item)) {
      // The rows are exactly the items with a stroke, in their order.
      Check(next < rows.size() && rows[next] == item);
      ++next;
    }
  }
  Check(next == rows.size());
  return 0;
}
