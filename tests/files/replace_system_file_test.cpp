#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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

// Blocks are written in the order handed out, up to the first empty one; a source of blocks
// that fails half-way leaves the old file whole and no new file beside it.
TEST(ReplaceSystemFile, WritesBlocksInOrderAndDropsTheNewFileWhenTheSourceFails) {
  TempDir dir;
  const std::string path = dir.File("list.tvw");
  const std::vector<std::string> blocks = {"a=1\r\n", std::string(100'000, 'b'), "\r\nc=3\r\n"};
  std::size_t next = 0;
  ASSERT_EQ(ReplaceSystemFile(path,
                              [&]() -> std::string_view {
                                return next < blocks.size() ? std::string_view(blocks[next++])
                                                            : std::string_view();
                              }),
            ReplaceFileResult::kReplaced);
  EXPECT_EQ(ReadFileBytes(path), blocks[0] + blocks[1] + blocks[2]);

  std::size_t calls = 0;
  const auto failing = [&]() -> std::string_view {
    if (++calls == 2) {
      throw std::runtime_error("out of memory");
    }
    return "partial\r\n";
  };
  EXPECT_THROW(ReplaceSystemFile(path, failing), std::runtime_error);
  EXPECT_EQ(ReadFileBytes(path), blocks[0] + blocks[1] + blocks[2]);
  EXPECT_EQ(FolderEntries(dir.path()), (std::set<std::string>{"list.tvw"}));
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
