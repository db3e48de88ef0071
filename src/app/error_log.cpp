#include "app/error_log.h"

#include "common/error.h"
#include "common/system_file.h"

namespace talvorine::app {

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

}  // namespace talvorine::app
