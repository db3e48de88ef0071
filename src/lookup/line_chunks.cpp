#include "lookup/line_chunks.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace talvorine::lookup {

LineChunker::LineChunker(std::shared_ptr<const std::string> storage, ChunkList& out,
                         std::size_t max_lines)
    : storage_(std::move(storage)), out_(out), max_lines_(std::max<std::size_t>(max_lines, 1)) {}

void LineChunker::StartChunk(std::size_t end) {
  if (chunk_) {
    Close();
  }
  if (end - line_begin_ > kMaxChunkText) {
    throw std::length_error("a line of 4 GB or more");
  }
  chunk_ = std::make_shared<LineChunk>();
  chunk_->storage = storage_;
  chunk_->text = storage_->data() + line_begin_;
  chunk_->starts.reserve(max_lines_ + 1);
  chunk_->heads.reserve(max_lines_);
  chunk_->first_bytes.reserve(max_lines_);
  chunk_->starts.push_back(0);
  chunk_begin_ = line_begin_;
}

void LineChunker::Finish() {
  if (chunk_) {
    Close();
  }
}

void LineChunker::Close() {
  // Only the last chunk of a table is short; it gives back what it reserved.
  if (chunk_->size() < max_lines_) {
    chunk_->starts.shrink_to_fit();
    chunk_->heads.shrink_to_fit();
    chunk_->first_bytes.shrink_to_fit();
  }
  out_.push_back(std::move(chunk_));
  chunk_.reset();
}

TableLines::Place TableLines::Locate(std::size_t index) const {
  // The last chunk start at or before the index; empty chunks never stand in the list.
  const auto after = std::upper_bound(chunk_starts.begin(), chunk_starts.end() - 1, index);
  const auto chunk = static_cast<std::size_t>(after - chunk_starts.begin()) - 1;
  return {chunk, index - chunk_starts[chunk]};
}

void TableLines::Recount(std::size_t from) {
  chunk_starts.resize(chunks.size() + 1);
  for (std::size_t i = from; i < chunks.size(); ++i) {
    chunk_starts[i + 1] = chunk_starts[i] + chunks[i]->size();
  }
}

}  // namespace talvorine::lookup
