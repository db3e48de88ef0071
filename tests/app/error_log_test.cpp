#include "app/error_log.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace talvorine::app {
namespace {

using testing::ReadFileBytes;
using testing::TempWorkingDir;

TEST(ErrorLog, HoldsEveryLineWithCrLfInCp932) {
  TempWorkingDir dir;
  MemoryErrorRecord record;
  record.AddLine(kErrorRecordTitle);
  record.AddLine("エラー：ファイル x は開けません");
  WriteErrorLog(record);
  EXPECT_EQ(ReadFileBytes(".Talvorine.log"),
            "\x81\x79Talvorine \x83\x47\x83\x89\x81\x5B\x8B\x4C\x98\x5E\x81\x7A\r\n"
            "エラー：ファイル x は開けません\r\n");
}

}  // namespace
}  // namespace talvorine::app
