#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace talvorine::lookup {

// An ordered list of cp932 lines, normally stroke "=" phrase. Lines without "=", empty lines and
// duplicates keep their place. Copies share their lines; an edit makes the editing table its own
// copy, so a copy taken earlier (a candidate list, a refresh in flight) never changes under it.
class PhraseTable {
 public:
  PhraseTable();
  explicit PhraseTable(std::vector<std::string> lines);

  // The table the main window starts with: one empty row.
  static PhraseTable OneEmptyRow();

  std::size_t size() const { return lines_->size(); }
  bool empty() const { return lines_->empty(); }
  std::string_view line(std::size_t index) const { return (*lines_)[index]; }
  const std::vector<std::string>& lines() const { return *lines_; }

  void SetLine(std::size_t index, std::string text);
  void InsertLine(std::size_t index, std::string text);
  void EraseLine(std::size_t index);
  void AppendLine(std::string text);

  // The shared, immutable lines of this table as it stands now.
  std::shared_ptr<const std::vector<std::string>> snapshot() const { return lines_; }

 private:
  std::vector<std::string>& Own();

  std::shared_ptr<const std::vector<std::string>> lines_;
};

}  // namespace talvorine::lookup
