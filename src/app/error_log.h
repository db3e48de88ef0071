#pragma once

#include <string_view>

#include "common/error_record.h"

namespace talvorine::app {

// The log file the record is written to at close, in the working directory.
inline constexpr std::string_view kErrorLogFile = ".Talvorine.log";

// Writes the whole record to ".Talvorine.log", replacing the file of an earlier run in one step.
// Throws Error "ファイル .Talvorine.log を作成できません" when the file cannot be made and
// "ストリームへの書き込みエラー" when the writing stops short; the old file then stays.
void WriteErrorLog(const ErrorRecord& record);

}  // namespace talvorine::app
