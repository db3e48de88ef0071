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
  std::vector<std::string> lines;
  lines.reserve(rows.size());
  rows.ConsumeEach([&lines](std::string_view row) { lines.emplace_back(row); });
  return lookup::PhraseTable(std::move(lines));
}

}  // namespace talvorine::webwords
