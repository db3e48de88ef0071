#include "webwords/web_word_rows.h"

#include <algorithm>
#include <utility>

namespace talvorine::webwords {

bool HasStroke(std::string_view row) {
  // "=" is 0x3D, below every cp932 trail byte, so a byte search cannot hit half a character.
  const std::size_t equals = row.find('=');
  return equals != std::string_view::npos && equals > 0;
}

void RemoveRowsWithoutStroke(std::vector<std::string>& rows) {
  std::erase_if(rows, [](const std::string& row) { return !HasStroke(row); });
}

void WebWordRows::Expect(std::size_t rows, std::size_t row_bytes) {
  expected_bytes_ = row_bytes + rows;
}

void WebWordRows::Append(std::string_view row) {
  const std::size_t needed = row.size() + 1;
  if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < needed) {
    std::string block;
    block.reserve(std::max(needed, std::min(kBlockBytes, expected_bytes_)));
    blocks_.push_back(std::move(block));
  }
  std::string& block = blocks_.back();
  block.append(row);
  block.push_back('\0');
  ++rows_;
  expected_bytes_ -= std::min(expected_bytes_, needed);
}

std::size_t WebWordRows::text_bytes() const {
  std::size_t bytes = 0;
  for (const std::string& block : blocks_) {
    bytes += block.size();
  }
  return bytes - rows_;
}

std::vector<std::string_view> WebWordRows::Views() const {
  std::vector<std::string_view> views;
  views.reserve(rows_);
  auto keep = [&views](std::string_view row) { views.push_back(row); };
  for (const std::string& block : blocks_) {
    ForEachRowOf(block, keep);
  }
  return views;
}

lookup::PhraseTable MakeWebTable(WebWordRows rows) {
  // The rows are copied straight into the table's one buffer while their blocks go, so the
  // refresh never holds a second copy of every row on the way.
  lookup::PhraseTableBuilder builder(std::string(rows.text_bytes(), '\0'));
  std::size_t end = 0;
  rows.ConsumeEach([&builder, &end](std::string_view row) {
    std::copy(row.begin(), row.end(), builder.data() + end);
    end += row.size();
    builder.AddLine(end);
  });
  return builder.Finish();
}

}  // namespace talvorine::webwords
