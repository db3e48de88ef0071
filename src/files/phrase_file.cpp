#include "files/phrase_file.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "common/error.h"
#include "common/system_file.h"
#include "files/text_lines.h"
#include "files/whole_file.h"

namespace talvorine::files {

namespace {

constexpr std::string_view kCannotOpen = "ファイル %s は開けません";
constexpr std::string_view kCannotCreate = "ファイル %s を作成できません";
constexpr std::string_view kWriteError = "ストリームへの書き込みエラー";

// Large enough that writing costs as little as one write of the whole file, small enough that
// a save needs no second copy of a large table.
constexpr std::size_t kSaveBlockBytes = 1 << 20;

}  // namespace

std::vector<std::string> SplitPhraseFileText(std::string_view bytes) {
  return SplitTextLines(bytes.substr(0, bytes.find('\0')));
}

std::vector<std::string> ReadPhraseFileLines(std::string_view path) {
  const std::optional<std::string> bytes = ReadWholeFile(path, /*deny_writers=*/true);
  if (!bytes) {
    throw Error(FormatMessageText(kCannotOpen, path));
  }
  return SplitPhraseFileText(*bytes);
}

lookup::PhraseTable PhraseTableFromFileText(std::string bytes) {
  const std::size_t size = bytes.size();
  lookup::PhraseTableBuilder builder(std::move(bytes));
  char* text = builder.data();
  const std::string_view view(text, size);
  std::size_t read = 0;
  std::size_t write = 0;
  while (read < size) {
    const std::size_t end = FindLineEnd(view, read, NulByte::kEndsText);
    const bool nul = end < size && text[end] == '\0';
    if (nul && end == read) {
      break;  // the text ends where a line would begin
    }
    const std::size_t length = end - read;
    // Only the bytes from `read` on are still to be scanned; the line moves below them.
    if (write != read) {
      std::memmove(text + write, text + read, length);
    }
    write += length;
    builder.AddLine(write);
    if (end == size || nul) {
      break;
    }
    const bool crlf = text[end] == '\r' && end + 1 < size && text[end + 1] == '\n';
    read = end + (crlf ? 2 : 1);
  }
  return builder.Finish();
}

void LoadPhraseFile(std::string_view path, lookup::PhraseTable& table) {
  std::optional<std::string> bytes = ReadWholeFile(path, /*deny_writers=*/true);
  if (!bytes) {
    throw Error(FormatMessageText(kCannotOpen, path));
  }
  table = PhraseTableFromFileText(std::move(*bytes));
}

std::string JoinPhraseFileText(const std::vector<std::string>& rows) {
  size_t size = 0;
  for (const std::string& row : rows) {
    size += row.size() + 2;
  }
  std::string bytes;
  bytes.reserve(size);
  for (const std::string& row : rows) {
    bytes += row;
    bytes += "\r\n";
  }
  return bytes;
}

void SavePhraseFile(std::string_view path, const lookup::PhraseTable& table) {
  const std::shared_ptr<const lookup::TableLines> content = table.content();
  std::size_t chunk = 0;
  std::size_t row = 0;
  std::string block(kSaveBlockBytes, '\0');
  // Each call fills the block with the next rows, each followed by CR LF; a row longer than a
  // block gets a block of its size.
  const auto next_block = [&]() -> std::string_view {
    std::size_t used = 0;
    while (chunk < content->chunks.size()) {
      const lookup::LineChunk& lines = *content->chunks[chunk];
      for (; row < lines.size(); ++row) {
        const std::string_view line = lines.line(row);
        if (used + line.size() + 2 > block.size()) {
          if (used > 0) {
            return {block.data(), used};
          }
          block.resize(line.size() + 2);
        }
        std::memcpy(block.data() + used, line.data(), line.size());
        block[used + line.size()] = '\r';
        block[used + line.size() + 1] = '\n';
        used += line.size() + 2;
      }
      ++chunk;
      row = 0;
    }
    return {block.data(), used};
  };
  switch (ReplaceSystemFile(path, next_block)) {
    case ReplaceFileResult::kReplaced:
      return;
    case ReplaceFileResult::kCannotCreate:
      throw Error(FormatMessageText(kCannotCreate, path));
    case ReplaceFileResult::kWriteFailed:
      throw Error(std::string(kWriteError));
  }
}

}  // namespace talvorine::files
