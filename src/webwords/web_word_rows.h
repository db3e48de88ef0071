#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/phrase_table.h"

namespace talvorine::webwords {

// A row has a stroke when something stands before its first "=".
bool HasStroke(std::string_view row);

// Deletes every row without a stroke (empty items, items without "=", items starting with "=");
// the rows left keep their order, duplicates included.
void RemoveRowsWithoutStroke(std::vector<std::string>& rows);

// The rows a refresh gathers, kept compactly: each row followed by a zero byte (a row never
// holds one, since a text ends at its first zero byte), in blocks of about 1 MiB sized from what
// is announced, so that growing never copies and the table can be built while the blocks go.
// A heap string per row would cost more than the row itself for short rows.
class WebWordRows {
 public:
  static constexpr std::size_t kBlockBytes = 1024 * 1024;

  // Announces the rows of one location: `rows` rows of `row_bytes` bytes in all.
  void Expect(std::size_t rows, std::size_t row_bytes);
  void Append(std::string_view row);

  std::size_t size() const { return rows_; }
  bool empty() const { return rows_ == 0; }
  // The bytes of all rows, without their separators.
  std::size_t text_bytes() const;
  // The rows, in order, as views into the blocks; for tests and checks.
  std::vector<std::string_view> Views() const;

  // Calls on_row(std::string_view) for each row in order, freeing each block once it is done.
  template <typename OnRow>
  void ConsumeEach(OnRow&& on_row) {
    for (std::string& block : blocks_) {
      ForEachRowOf(block, on_row);
      std::string().swap(block);
    }
    blocks_.clear();
    rows_ = 0;
  }

 private:
  template <typename OnRow>
  static void ForEachRowOf(std::string_view block, OnRow& on_row) {
    std::size_t start = 0;
    while (start < block.size()) {
      const std::size_t zero = block.find('\0', start);
      on_row(block.substr(start, zero - start));
      start = zero + 1;
    }
  }

  std::vector<std::string> blocks_;
  std::size_t rows_ = 0;
  std::size_t expected_bytes_ = 0;  // announced and not yet appended, separators included
};

// The web table of these rows; the blocks are freed as the table is built.
lookup::PhraseTable MakeWebTable(WebWordRows rows);

}  // namespace talvorine::webwords
