#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/line_head.h"

namespace talvorine::lookup {

// A run of consecutive lines of a table, stored back to back in one buffer, with the arrays the
// lookup scans beside them at the same index. A chunk is never changed once a table has handed
// it out: copies and snapshots share it, and an edit builds a new chunk in its place.
struct LineChunk {
  // Keeps the text alive: a loaded file's bytes, shared by every chunk cut from them, or a
  // buffer of this chunk's own.
  std::shared_ptr<const std::string> storage;
  const char* text = nullptr;  // the first byte of the first line, inside *storage
  // Line i is text[starts[i], starts[i + 1]): one entry more than there are lines.
  std::vector<std::uint32_t> starts;
  std::vector<LineHead> heads;
  // The first byte of each line (0 for an empty line), which a rebuild searches with memchr
  // for the lines that begin with the first stroke character.
  std::string first_bytes;

  std::size_t size() const { return heads.size(); }
  std::string_view line(std::size_t row) const {
    return {text + starts[row], starts[row + 1] - starts[row]};
  }
  std::size_t text_size() const { return starts.back(); }
};

// The most lines and bytes a chunk is cut to hold (a single longer line makes a chunk of its
// own). An edit rebuilds one chunk, so this bounds its cost to tens of microseconds; the lookup
// scans a chunk at a time, so much smaller chunks would slow it down.
inline constexpr std::size_t kChunkLines = 4096;
inline constexpr std::size_t kChunkBytes = 256 * 1024;

using ChunkList = std::vector<std::shared_ptr<const LineChunk>>;

// Cuts lines that lie back to back in one buffer into chunks and appends them to a list.
class LineChunker {
 public:
  // The buffer must not change before the end of the last line added; behind it, it may (a
  // loader moves each line down over the line ends it drops).
  LineChunker(std::shared_ptr<const std::string> storage, ChunkList& out,
              std::size_t max_lines = kChunkLines);
  LineChunker(const LineChunker&) = delete;
  LineChunker& operator=(const LineChunker&) = delete;

  // The next line runs from where the previous one ended (the buffer's start for the first)
  // to `end`. Throws std::length_error for a single line of 4 GB or more. Inline: it runs once
  // for every line of a loaded file.
  void Add(std::size_t end) {
    if (!chunk_ || chunk_->size() >= max_lines_ || line_begin_ - chunk_begin_ >= kChunkBytes ||
        end - chunk_begin_ > kMaxChunkText) {
      StartChunk(end);
    }
    const std::string_view line(storage_->data() + line_begin_, end - line_begin_);
    chunk_->starts.push_back(static_cast<std::uint32_t>(end - chunk_begin_));
    chunk_->heads.push_back(MakeLineHead(line));
    chunk_->first_bytes.push_back(line.empty() ? '\0' : line.front());
    line_begin_ = end;
  }
  // Hands over the last chunk; call once, after the last line.
  void Finish();

 private:
  // Closes the chunk being filled, if any, and opens one for the line that ends at `end`.
  void StartChunk(std::size_t end);
  void Close();

  static constexpr std::size_t kMaxChunkText = 0xFFFF'FFFF;  // what a start can count to

  std::shared_ptr<const std::string> storage_;
  ChunkList& out_;
  std::size_t max_lines_;
  std::shared_ptr<LineChunk> chunk_;  // being filled; null between chunks
  std::size_t chunk_begin_ = 0;       // where chunk_'s text starts in the buffer
  std::size_t line_begin_ = 0;        // where the next line starts
};

// The lines of a table at one moment: its chunks in order, and where each one starts.
struct TableLines {
  ChunkList chunks;
  // The index of the first line of each chunk, then the number of lines.
  std::vector<std::size_t> chunk_starts{0};

  struct Place {
    std::size_t chunk;
    std::size_t row;
  };

  std::size_t size() const { return chunk_starts.back(); }
  // The chunk and row of a line below size().
  Place Locate(std::size_t index) const;
  std::string_view line(std::size_t index) const {
    const Place place = Locate(index);
    return chunks[place.chunk]->line(place.row);
  }
  // Sets chunk_starts again for the chunks from `from` on.
  void Recount(std::size_t from);

  // Calls visit(line) for every line in order.
  template <typename Visit>
  void ForEachLine(Visit visit) const {
    for (const auto& chunk : chunks) {
      for (std::size_t row = 0; row < chunk->size(); ++row) {
        visit(chunk->line(row));
      }
    }
  }
};

}  // namespace talvorine::lookup
