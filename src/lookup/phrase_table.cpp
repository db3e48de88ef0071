#include "lookup/phrase_table.h"

#include <functional>
#include <limits>
#include <utility>

namespace talvorine::lookup {

PhraseTable::PhraseTable() : content_(std::make_shared<TableLines>()) {}

PhraseTable::PhraseTable(std::shared_ptr<TableLines> content) : content_(std::move(content)) {}

PhraseTable::PhraseTable(const std::vector<std::string>& lines) {
  std::string bytes;
  std::size_t size = 0;
  for (const std::string& line : lines) {
    size += line.size();
  }
  bytes.reserve(size);
  for (const std::string& line : lines) {
    bytes += line;
  }
  PhraseTableBuilder builder(std::move(bytes));
  std::size_t end = 0;
  for (const std::string& line : lines) {
    end += line.size();
    builder.AddLine(end);
  }
  *this = builder.Finish();
}

PhraseTable PhraseTable::OneEmptyRow() {
  return PhraseTable(std::vector<std::string>(1));
}

std::vector<std::string> PhraseTable::lines() const {
  std::vector<std::string> copy;
  copy.reserve(size());
  content_->ForEachLine([&copy](std::string_view line) { copy.emplace_back(line); });
  return copy;
}

TableLines& PhraseTable::Own() {
  // A count of one means no copy or snapshot exists anywhere, so no other thread can be
  // taking one now. A copy costs one pointer per chunk: the chunks themselves stay shared.
  if (content_.use_count() != 1) {
    content_ = std::make_shared<TableLines>(*content_);
  }
  return *content_;
}

void PhraseTable::SetLine(std::size_t index, std::string_view text) {
  const TableLines::Place place = content_->Locate(index);
  ReplaceRows(place.chunk, place.row, place.row + 1, text, true);
}

void PhraseTable::InsertLine(std::size_t index, std::string_view text) {
  if (index == size()) {
    AppendLine(text);
    return;
  }
  const TableLines::Place place = content_->Locate(index);
  ReplaceRows(place.chunk, place.row, place.row, text, true);
}

void PhraseTable::EraseLine(std::size_t index) {
  const TableLines::Place place = content_->Locate(index);
  ReplaceRows(place.chunk, place.row, place.row + 1, {}, false);
}

void PhraseTable::AppendLine(std::string_view text) {
  if (AppendInPlace(text)) {
    return;
  }
  if (content_->chunks.empty()) {
    TableLines& own = Own();
    LineChunker chunker(std::make_shared<std::string>(text), own.chunks);
    chunker.Add(text.size());
    chunker.Finish();
    own.Recount(0);
    return;
  }
  const std::size_t last = content_->chunks.size() - 1;
  const std::size_t rows = content_->chunks[last]->size();
  ReplaceRows(last, rows, rows, text, true);
}

void PhraseTable::ReplaceRows(std::size_t chunk, std::size_t first, std::size_t last,
                              std::string_view replacement, bool insert) {
  TableLines& own = Own();
  // Held here: the list's own reference goes when the rebuilt chunks take its place.
  const std::shared_ptr<const LineChunk> old = own.chunks[chunk];
  const std::size_t added = insert ? replacement.size() : 0;
  const std::size_t cut_begin = old->starts[first];
  const std::size_t cut_end = old->starts[last];
  auto bytes = std::make_shared<std::string>();
  bytes->reserve(old->text_size() - (cut_end - cut_begin) + added);
  bytes->append(old->text, cut_begin);
  bytes->append(replacement.data(), added);
  bytes->append(old->text + cut_end, old->text_size() - cut_end);

  // A chunk that grows past its size is cut in two halves, so rows inserted one by one at one
  // place do not leave a trail of one-line chunks behind.
  const std::size_t lines = old->size() - (last - first) + (insert ? 1 : 0);
  ChunkList rebuilt;
  LineChunker chunker(bytes, rebuilt, lines > kChunkLines ? (lines + 1) / 2 : kChunkLines);
  for (std::size_t row = 0; row < first; ++row) {
    chunker.Add(old->starts[row + 1]);
  }
  if (insert) {
    chunker.Add(cut_begin + added);
  }
  for (std::size_t row = last; row < old->size(); ++row) {
    chunker.Add(old->starts[row + 1] - cut_end + cut_begin + added);
  }
  chunker.Finish();

  const auto at = own.chunks.begin() + static_cast<std::ptrdiff_t>(chunk);
  own.chunks.insert(own.chunks.erase(at), rebuilt.begin(), rebuilt.end());
  own.Recount(chunk);
}

bool PhraseTable::AppendInPlace(std::string_view text) {
  // Only a last chunk that nobody else can see, with a buffer of its own, grows in place; then
  // appending line by line stays linear.
  if (content_.use_count() != 1 || content_->chunks.empty()) {
    return false;
  }
  const std::shared_ptr<const LineChunk>& last = content_->chunks.back();
  if (last.use_count() != 1 || last->storage.use_count() != 1 || last->size() >= kChunkLines ||
      last->text_size() >= kChunkBytes ||
      last->text_size() + text.size() > std::numeric_limits<std::uint32_t>::max()) {
    return false;
  }
  // Both were made writable (every chunk and buffer is made by make_shared of a non-const
  // object); no one else holds them.
  auto& chunk = const_cast<LineChunk&>(*last);
  auto& storage = const_cast<std::string&>(*chunk.storage);
  const std::less<const char*> before;
  if (!before(text.data(), storage.data()) &&
      before(text.data(), storage.data() + storage.size())) {
    return false;  // a line of this very chunk, which growing the buffer may move
  }
  const auto offset = static_cast<std::size_t>(chunk.text - storage.data());
  storage.resize(offset + chunk.text_size());
  storage.append(text);
  chunk.text = storage.data() + offset;
  chunk.starts.push_back(static_cast<std::uint32_t>(chunk.text_size() + text.size()));
  chunk.heads.push_back(MakeLineHead(text));
  chunk.first_bytes.push_back(text.empty() ? '\0' : text.front());
  ++content_->chunk_starts.back();
  return true;
}

PhraseTableBuilder::PhraseTableBuilder(std::string bytes)
    : bytes_(std::make_shared<std::string>(std::move(bytes))),
      content_(std::make_shared<TableLines>()),
      chunker_(bytes_, content_->chunks) {}

PhraseTable PhraseTableBuilder::Finish() {
  chunker_.Finish();
  content_->Recount(0);
  return PhraseTable(std::move(content_));
}

}  // namespace talvorine::lookup
