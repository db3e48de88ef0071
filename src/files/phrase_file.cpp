#include "files/phrase_file.h"

#include <optional>

#include "common/error.h"
#include "common/system_file.h"
#include "files/text_lines.h"
#include "files/whole_file.h"

namespace talvorine::files {

namespace {

constexpr std::string_view kCannotOpen = "ファイル %s は開けません";
constexpr std::string_view kCannotCreate = "ファイル %s を作成できません";
constexpr std::string_view kWriteError = "ストリームへの書き込みエラー";

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
