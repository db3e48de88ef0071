#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "common/system_file.h"
#include "files/file_test_support.h"
#include "support/temp_dir.h"

namespace talvorine {
namespace {

using files::testing::FolderEntries;
using talvorine::testing::ReadFileBytes;
using talvorine::testing::TempDir;
using talvorine::testing::WriteFileBytes;

TEST(ReplaceSystemFile, CreatesAndReplacesWholeFilesLeavingNothingBeside) {
  TempDir dir;
  const std::string path = dir.File("自動読込.tvw");
  ASSERT_EQ(ReplaceSystemFile(path, "first version, longer\r\n"), ReplaceFileResult::kReplaced);
  ASSERT_EQ(ReplaceSystemFile(path, "second\r\n"), ReplaceFileResult::kReplaced);
  EXPECT_EQ(ReadFileBytes(path), "second\r\n");
  EXPECT_EQ(FolderEntries(dir.path()).size(), 1u);
}

TEST(ReplaceSystemFile, RefusesAFolderAndKeepsIt) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "folder.tvw");
  WriteFileBytes(dir.File("folder.tvw") + "\\inside", "x");
  EXPECT_EQ(ReplaceSystemFile(dir.File("folder.tvw"), "a=b\r\n"), ReplaceFileResult::kCannotCreate);
  EXPECT_EQ(ReadFileBytes(dir.File("folder.tvw") + "\\inside"), "x");
  EXPECT_EQ(FolderEntries(dir.path()), (std::set<std::string>{"folder.tvw"}));
}

#ifndef _WIN32
TEST(ReplaceSystemFile, KeepsThePermissionsOfTheFileItReplaces) {
  TempDir dir;
  const std::string path = dir.File("shared.tvs");
  WriteFileBytes(path, "old");
  const auto perms = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                     std::filesystem::perms::group_read | std::filesystem::perms::group_write;
  std::filesystem::permissions(dir.path() / "shared.tvs", perms);
  ASSERT_EQ(ReplaceSystemFile(path, "new"), ReplaceFileResult::kReplaced);
  EXPECT_EQ(std::filesystem::status(dir.path() / "shared.tvs").permissions(), perms);
}

TEST(ReplaceSystemFile, ALinkKeepsPointingAtTheFileItNames) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "real");
  WriteFileBytes(dir.File("real") + "\\list.tvw", "old");
  std::filesystem::create_symlink(dir.path() / "real" / "list.tvw", dir.path() / "link.tvw");
  ASSERT_EQ(ReplaceSystemFile(dir.File("link.tvw"), "new"), ReplaceFileResult::kReplaced);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.tvw"));
  EXPECT_EQ(ReadFileBytes(dir.File("real") + "\\list.tvw"), "new");
  EXPECT_EQ(FolderEntries(dir.path() / "real"), (std::set<std::string>{"list.tvw"}));
}
#endif

}  // namespace
}  // namespace talvorine
