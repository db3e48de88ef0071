#include "common/system_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace talvorine {
namespace {

using testing::ReadFileBytes;
using testing::TempWorkingDir;
using testing::WriteFileBytes;

TEST(SystemFile, JapaneseNamesOpenExistAndRemove) {
  TempWorkingDir dir;
  const std::string name = dir.File("自動読込.tvw");
  WriteFileBytes(name, "a=b\r\n");
  EXPECT_TRUE(SystemFileExists(name));
  EXPECT_EQ(ReadFileBytes(name), "a=b\r\n");
  EXPECT_TRUE(RemoveSystemFile(name));
  EXPECT_FALSE(SystemFileExists(name));
  EXPECT_FALSE(RemoveSystemFile(name));
}

TEST(SystemFile, FixedNamesWithABackslashResolveInTheWorkingDirectory) {
  TempWorkingDir dir;
  std::FILE* file = OpenSystemFile(".\\Last.tvw", "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("x", file);
  std::fclose(file);
  EXPECT_EQ(ReadFileBytes(dir.File("Last.tvw")), "x");
}

TEST(SystemFile, ABackslashInsideADoubleByteCharacterIsNoSeparator) {
  TempWorkingDir dir;
  // The second byte of "表" is 0x5C, the byte of the backslash.
  const std::string name = dir.File("表.tvw");
  WriteFileBytes(name, "y");
  EXPECT_TRUE(SystemFileExists("表.tvw"));
}

TEST(SystemFile, AMissingFileDoesNotOpenAndAFolderIsNoFile) {
  TempWorkingDir dir;
  EXPECT_EQ(OpenSystemFile(dir.File("missing.tvw"), "rb"), nullptr);
  EXPECT_FALSE(SystemFileExists(dir.File("")));
}

}  // namespace
}  // namespace talvorine
