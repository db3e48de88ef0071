#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/line_head.h"

namespace talvorine::lookup {

// The lines of a table at one moment, with two compact arrays beside them at the same index:
// the head of each line (line_head.h), and its first byte (0 for an empty line), which a
// rebuild searches with memchr for the lines that begin with the first stroke character.
struct TableLines {
  std::vector<std::string> lines;
  std::vector<LineHead> heads;
  std::string first_bytes;
};

// An ordered list of cp932 lines, normally stroke "=" phrase. Lines without "=", empty lines and
// duplicates keep their place. Copies share their lines; an edit of a table whose lines are
// shared makes the editing table its own copy first, so a copy or snapshot taken earlier (a
// candidate list, a refresh in flight) never changes under it. A table that shares with no one
// is edited in place.
class PhraseTable {
 public:
  PhraseTable();
  explicit PhraseTable(std::vector<std::string> lines);
  // A moved-from table keeps its lines: moving shares them like a copy.
  PhraseTable(const PhraseTable&) = default;
  PhraseTable& operator=(const PhraseTable&) = default;

  // The table the main window starts with: one empty row.
  static PhraseTable OneEmptyRow();

  std::size_t size() const { return content_->lines.size(); }
  bool empty() const { return content_->lines.empty(); }
  std::string_view line(std::size_t index) const { return content_->lines[index]; }
  const std::vector<std::string>& lines() const { return content_->lines; }

  void SetLine(std::size_t index, std::string text);
  void InsertLine(std::size_t index, std::string text);
  void EraseLine(std::size_t index);
  void AppendLine(std::string text);

  // The shared, immutable lines of this table as it stands now.
  std::shared_ptr<const std::vector<std::string>> snapshot() const {
    return {content_, &content_->lines};
  }
  // The same, with the line heads the lookup scans.
  std::shared_ptr<const TableLines> content() const { return content_; }

 private:
  TableLines& Own();

  // Never null. Shared with copies and snapshots; written only while this table is its one owner.
  std::shared_ptr<TableLines> content_;
};

}  // namespace talvorine::lookup
