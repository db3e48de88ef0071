#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/line_chunks.h"

namespace talvorine::lookup {

// An ordered list of cp932 lines, normally stroke "=" phrase. Lines without "=", empty lines and
// duplicates keep their place.
//
// The lines lie back to back in a few large buffers (a loaded file's own bytes), cut into chunks
// of a few thousand lines (line_chunks.h), so a million lines cost little more than their bytes.
// Copies share their chunks, and a chunk is never changed once shared: a copy or snapshot taken
// earlier (a candidate list, a refresh in flight) never changes under an edit. An edit rebuilds
// only the chunk it touches, so it costs the same on a table of ten lines or of a million.
class PhraseTable {
 public:
  PhraseTable();
  explicit PhraseTable(const std::vector<std::string>& lines);
  // A moved-from table keeps its lines: moving shares them like a copy.
  PhraseTable(const PhraseTable&) = default;
  PhraseTable& operator=(const PhraseTable&) = default;

  // The table the main window starts with: one empty row.
  static PhraseTable OneEmptyRow();

  std::size_t size() const { return content_->size(); }
  bool empty() const { return size() == 0; }
  std::string_view line(std::size_t index) const { return content_->line(index); }
  // A copy of every line, for checks on small tables.
  std::vector<std::string> lines() const;

  void SetLine(std::size_t index, std::string_view text);
  void InsertLine(std::size_t index, std::string_view text);
  void EraseLine(std::size_t index);
  void AppendLine(std::string_view text);

  // The shared, immutable lines of this table as it stands now.
  std::shared_ptr<const TableLines> content() const { return content_; }

 private:
  friend class PhraseTableBuilder;
  explicit PhraseTable(std::shared_ptr<TableLines> content);

  TableLines& Own();
  // Puts `replacement` in the place of rows [first, last) of one chunk.
  void ReplaceRows(std::size_t chunk, std::size_t first, std::size_t last,
                   std::string_view replacement, bool insert);
  bool AppendInPlace(std::string_view text);

  // Never null. Shared with copies and snapshots; written only while this table is its one owner.
  std::shared_ptr<TableLines> content_;
};

// Makes a table of lines laid back to back in one buffer, which it takes over: the lines are not
// copied. This is how a loaded file becomes a table.
class PhraseTableBuilder {
 public:
  explicit PhraseTableBuilder(std::string bytes);
  PhraseTableBuilder(const PhraseTableBuilder&) = delete;
  PhraseTableBuilder& operator=(const PhraseTableBuilder&) = delete;

  // The buffer. Behind the end of the last line added, the caller may rewrite it.
  char* data() { return bytes_->data(); }
  std::size_t size() const { return bytes_->size(); }
  // The next line runs from where the previous one ended (the buffer's start for the first)
  // to `end`.
  void AddLine(std::size_t end) { chunker_.Add(end); }
  // The table of the lines added; call once.
  PhraseTable Finish();

 private:
  std::shared_ptr<std::string> bytes_;
  std::shared_ptr<TableLines> content_;
  LineChunker chunker_;
};

}  // namespace talvorine::lookup
