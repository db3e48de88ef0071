#include "webwords/web_word_rows.h"

namespace talvorine::webwords {

bool HasStroke(std::string_view row) {
  // "=" is 0x3D, below every cp932 trail byte, so a byte search cannot hit half a character.
  const std::size_t equals = row.find('=');
  return equals != std::string_view::npos && equals > 0;
}

void RemoveRowsWithoutStroke(std::vector<std::string>& rows) {
  std::erase_if(rows, [](const std::string& row) { return !HasStroke(row); });
}

}  // namespace talvorine::webwords
