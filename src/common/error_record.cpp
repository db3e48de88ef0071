#include "common/error_record.h"

#include "common/error.h"
#include "common/system_file.h"

namespace talvorine {

void MemoryErrorRecord::AddLine(std::string_view text) {
  ForEachLine(text, [this](std::string_view line) {
    lines_.emplace_back(line);
    if (lines_.size() > max_lines_) {
      lines_.pop_front();
    }
  });
}

std::string MemoryErrorRecord::Text() const {
  std::string text;
  for (const auto& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void WriteErrorLog(const ErrorRecord& record) {
  switch (ReplaceSystemFile(kErrorLogFile, record.Text())) {
    case ReplaceFileResult::kReplaced:
      return;
    case ReplaceFileResult::kCannotCreate:
      throw Error(FormatMessageText("ファイル %s を作成できません", kErrorLogFile));
    case ReplaceFileResult::kWriteFailed:
      throw Error("ストリームへの書き込みエラー");
  }
}

}  // namespace talvorine
