#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/line_head.h"
#include "lookup/phrase_table.h"

namespace talvorine::lookup {

// The lines a lookup lists, in order: lines of the main table, then lines of the web table. No
// line is copied; the list keeps the table snapshots it refers to alive, so a later edit or
// refresh of a table never changes a line already listed.
class CandidateList {
 public:
  std::size_t size() const;
  bool empty() const { return size() == 0; }
  // The line at a 0-based index below size().
  std::string_view line(std::size_t index) const;

  // Every line of main, then every line of web.
  void ListAll(std::shared_ptr<const TableLines> main, std::shared_ptr<const TableLines> web);
  // Every line of main that matches, in table order, then every matching line of web.
  void Rebuild(std::shared_ptr<const TableLines> main, std::shared_ptr<const TableLines> web,
               const StrokePrefix& prefix);
  // Removes every listed line that does not match; the others keep their order.
  void Filter(const StrokePrefix& prefix);

 private:
  struct Pick {
    LineHead head;        // inline, so a filter reads one contiguous array
    std::uint32_t chunk;  // in chunks_
    std::uint32_t row;    // in that chunk
  };

  std::string_view LineOf(const Pick& pick) const { return chunks_[pick.chunk]->line(pick.row); }
  // Lists the chunks of main_ and web_ in chunks_, for picks to name them by number.
  void NumberChunks();
  void AppendMatches(const TableLines& table, std::size_t first_chunk, const StrokePrefix& prefix);
  void PickAll(const StrokePrefix& prefix);

  std::shared_ptr<const TableLines> main_ = std::make_shared<const TableLines>();
  std::shared_ptr<const TableLines> web_ = std::make_shared<const TableLines>();
  // Either every line of main_ and web_ is listed (after ListAll: nothing to build for the
  // largest list of all), or exactly the lines in picks_.
  bool all_ = false;
  std::vector<Pick> picks_;
  std::vector<const LineChunk*> chunks_;  // of main_, then of web_, while picks_ name them
};

}  // namespace talvorine::lookup
