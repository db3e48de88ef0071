#include "files/phrase_file.h"

#include <cstdio>

#include "common/error.h"
#include "common/system_file.h"

namespace talvorine::files {

namespace {

constexpr std::string_view kCannotOpen = "ファイル %s は開けません";
constexpr std::string_view kCannotCreate = "ファイル %s を作成できません";
constexpr std::string_view kWriteError = "ストリームへの書き込みエラー";

}  // namespace

std::vector<std::string> SplitPhraseFileText(std::string_view bytes) {
  if (const size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
    bytes = bytes.substr(0, nul);
  }
  std::vector<std::string> rows;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = start;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') {
      ++end;
    }
    rows.emplace_back(bytes.substr(start, end - start));
    if (end == bytes.size()) {
      break;
    }
    const bool crlf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
    start = end + (crlf ? 2 : 1);
  }
  return rows;
}

std::vector<std::string> ReadPhraseFileLines(std::string_view path) {
  std::FILE* file = OpenSystemFile(path, "rb", /*deny_writers=*/true);
  if (!file) {
    throw Error(FormatMessageText(kCannotOpen, path));
  }
  std::string bytes;
  char buffer[1 << 16];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, count);
  }
  // A folder opens on some systems but cannot be read.
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    throw Error(FormatMessageText(kCannotOpen, path));
  }
  return SplitPhraseFileText(bytes);
}

void LoadPhraseFile(std::string_view path, lookup::PhraseTable& table) {
  table = lookup::PhraseTable(ReadPhraseFileLines(path));
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
  switch (ReplaceSystemFile(path, JoinPhraseFileText(table.lines()))) {
    case ReplaceFileResult::kReplaced:
      return;
    case ReplaceFileResult::kCannotCreate:
      throw Error(FormatMessageText(kCannotCreate, path));
    case ReplaceFileResult::kWriteFailed:
      throw Error(std::string(kWriteError));
  }
}

}  // namespace talvorine::files
