#include "files/phrase_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/error.h"
#include "common/system_file.h"
#include "files/file_test_support.h"
#include "support/temp_dir.h"

namespace talvorine::files {
namespace {

using namespace std::string_view_literals;
using lookup::PhraseTable;
using talvorine::testing::ReadFileBytes;
using talvorine::testing::TempDir;
using talvorine::testing::TempWorkingDir;
using talvorine::testing::WriteFileBytes;
using testing::ErrorMessageOf;
using testing::FolderEntries;

struct SplitCase {
  const char* name;
  std::string_view bytes;
  std::size_t row_count;
  std::array<std::string_view, 4> rows;
};

constexpr SplitCase kSplitCases[] = {
    {"no line end", "a=b", 1, {"a=b"}},
    {"CR LF", "a=b\r\nc=d\r\n", 2, {"a=b", "c=d"}},
    {"lone LF, lone CR, CR LF", "a\nb\rc\r\nd", 4, {"a", "b", "c", "d"}},
    {"CR LF CR LF at the end", "a\r\n\r\n", 2, {"a", ""}},
    {"empty text", "", 0, {}},
    {"one line end", "\r\n", 1, {""}},
    {"lone CR at the end", "a\r", 1, {"a"}},
    {"LF CR is two line ends", "a\n\rb", 3, {"a", "", "b"}},
    {"CR CR LF is two line ends", "a\r\r\nb", 3, {"a", "", "b"}},
    {"empty rows within", "\n\na", 3, {"", "", "a"}},
    {"NUL in the middle", "a\r\nb\0c\r\nd"sv, 2, {"a", "b"}},
    {"NUL first", "\0a\r\n"sv, 0, {}},
    {"no trimming, no check for =", " a = b \t\r\nplain\r\n", 2, {" a = b \t", "plain"}},
    {"duplicates stay", "x=1\r\nx=1\r\n", 2, {"x=1", "x=1"}},
    {"double-byte text", "あ=亜細亜\r\nい=以\n", 2, {"あ=亜細亜", "い=以"}},
};

TEST(SplitPhraseFileText, SplitsAtEveryKindOfLineEndAndStopsAtNul) {
  for (const SplitCase& test : kSplitCases) {
    const std::vector<std::string> expected(test.rows.begin(), test.rows.begin() + test.row_count);
    EXPECT_EQ(SplitPhraseFileText(test.bytes), expected) << test.name;
  }
}

// A loaded table holds the same rows as the plain split, read straight from the file's bytes.
TEST(PhraseTableFromFileText, GivesTheRowsOfThePlainSplit) {
  for (const SplitCase& test : kSplitCases) {
    const std::vector<std::string> expected(test.rows.begin(), test.rows.begin() + test.row_count);
    EXPECT_EQ(PhraseTableFromFileText(std::string(test.bytes)).lines(), expected) << test.name;
  }
}

// A file of many chunks' worth: every kind of line end, rows longer than a chunk's bytes, and
// line ends that straddle the 16-byte steps of the search. It loads as the plain split gives
// it, and saves, in more than one block, as the plain join of its rows.
TEST(PhraseFile, ALargeFileLoadsAndSavesLikeThePlainSplitAndJoin) {
  std::string bytes;
  const std::string_view line_ends[] = {"\r\n", "\n", "\r", "\r\n\r\n", "\r\r\n", "\n\r"};
  for (std::size_t i = 0; i < 60'000; ++i) {
    bytes += "k" + std::to_string(i % 997) + "=" + std::string(i % 23, '\x82') + "\xa0";
    if (i % 20'000 == 7) {
      bytes += std::string(300'000, 'L');
    }
    bytes += line_ends[i % std::size(line_ends)];
  }
  bytes += "last=without line end";
  const std::vector<std::string> expected = SplitPhraseFileText(bytes);

  TempDir dir;
  const std::string path = dir.File("large.tvw");
  WriteFileBytes(path, bytes);
  PhraseTable table;
  LoadPhraseFile(path, table);
  ASSERT_EQ(table.size(), expected.size());
  EXPECT_TRUE(table.lines() == expected);
  EXPECT_GT(table.content()->chunks.size(), 10u);

  const std::string saved_path = dir.File("saved.tvw");
  SavePhraseFile(saved_path, table);
  const std::string saved = ReadFileBytes(saved_path);
  ASSERT_GT(saved.size(), std::size_t{3} << 19);  // more than one block
  EXPECT_TRUE(saved == JoinPhraseFileText(expected));
}

struct JoinCase {
  const char* name;
  std::size_t row_count;
  std::array<std::string_view, 3> rows;
  std::string_view bytes;
};

constexpr JoinCase kJoinCases[] = {
    {"one row", 1, {"a=b"}, "a=b\r\n"},
    {"the one empty row", 1, {""}, "\r\n"},
    {"empty table", 0, {}, ""},
    {"rows unchanged", 3, {"x", " y = z ", "x"}, "x\r\n y = z \r\nx\r\n"},
};

TEST(SavePhraseFile, WritesEveryRowFollowedByCrLf) {
  TempDir dir;
  const std::string path = dir.File("list.tvw");
  for (const JoinCase& test : kJoinCases) {
    const PhraseTable table(
        std::vector<std::string>(test.rows.begin(), test.rows.begin() + test.row_count));
    SavePhraseFile(path, table);
    EXPECT_EQ(ReadFileBytes(path), test.bytes) << test.name;
  }
}

TEST(SavePhraseFile, TheTableAsTheWindowStartsSavesAsCrLf) {
  TempDir dir;
  const std::string path = dir.File("list.tvw");
  SavePhraseFile(path, PhraseTable::OneEmptyRow());
  EXPECT_EQ(ReadFileBytes(path), "\r\n");
}

TEST(PhraseFile, ThreeBytesWithoutLineEndLoadAsOneRowAndSaveAsFive) {
  TempDir dir;
  const std::string path = dir.File("list.tvw");
  WriteFileBytes(path, "a=b");
  PhraseTable table = PhraseTable::OneEmptyRow();
  LoadPhraseFile(path, table);
  EXPECT_EQ(table.lines(), std::vector<std::string>{"a=b"});
  SavePhraseFile(path, table);
  EXPECT_EQ(ReadFileBytes(path), "a=b\r\n");
}

TEST(PhraseFile, AnEmptyFileLoadsAsAnEmptyTable) {
  TempDir dir;
  const std::string path = dir.File("empty.tvw");
  WriteFileBytes(path, "");
  PhraseTable table = PhraseTable::OneEmptyRow();
  LoadPhraseFile(path, table);
  EXPECT_TRUE(table.empty());
}

TEST(PhraseFile, RowsComeBackAsTheyWereSavedUnderAJapaneseName) {
  TempWorkingDir dir;
  const PhraseTable saved({"ab=A", "", "no equals sign", "ab=A", " spaced = text ", "あ=亜"});
  SavePhraseFile(".\\自動読込.tvw", saved);
  PhraseTable loaded;
  LoadPhraseFile(dir.File("自動読込.tvw"), loaded);
  EXPECT_EQ(loaded.lines(), saved.lines());
}

TEST(SavePhraseFile, ALongerFileIsReplacedWhole) {
  TempDir dir;
  const std::string path = dir.File("list.tvw");
  WriteFileBytes(path, std::string(10000, 'x'));
  SavePhraseFile(path, PhraseTable({"a=b"}));
  EXPECT_EQ(ReadFileBytes(path), "a=b\r\n");
  EXPECT_EQ(FolderEntries(dir.path()), (std::set<std::string>{"list.tvw"}));
}

TEST(ReadPhraseFileLines, AFileThatCannotBeOpenedRaisesItsMessage) {
  TempDir dir;
  const std::string missing = dir.File("missing.tvw");
  EXPECT_EQ(ErrorMessageOf([&] { ReadPhraseFileLines(missing); }),
            FormatMessageText("ファイル %s は開けません", missing));
  // A folder is no phrase file, whether the system lets it be opened or not.
  const std::string folder = dir.File("");
  EXPECT_EQ(ErrorMessageOf([&] { ReadPhraseFileLines(folder); }),
            FormatMessageText("ファイル %s は開けません", folder));
}

TEST(LoadPhraseFile, TheTableStaysAsItWasWhenTheFileCannotBeOpened) {
  TempDir dir;
  PhraseTable table({"keep=me", "and=me"});
  const std::string missing = dir.File("missing.tvw");
  EXPECT_EQ(ErrorMessageOf([&] { LoadPhraseFile(missing, table); }),
            FormatMessageText("ファイル %s は開けません", missing));
  EXPECT_EQ(table.lines(), (std::vector<std::string>{"keep=me", "and=me"}));
}

TEST(ReadPhraseFileLines, AFileOpenForWritingElsewhereIsDeniedOnlyOnWindows) {
  TempDir dir;
  const std::string path = dir.File("busy.tvw");
  WriteFileBytes(path, "a=b\r\n");
  std::FILE* writer = OpenSystemFile(path, "ab");
  ASSERT_NE(writer, nullptr);
  const std::string message = ErrorMessageOf([&] { ReadPhraseFileLines(path); });
  std::fclose(writer);
#ifdef _WIN32
  EXPECT_EQ(message, FormatMessageText("ファイル %s は開けません", path));
#else
  EXPECT_EQ(message, "(no error)");
#endif
}

TEST(SavePhraseFile, AMissingFolderRaisesTheCreateMessageAndMakesNothing) {
  TempDir dir;
  const std::string path = dir.File("no such folder") + "\\list.tvw";
  EXPECT_EQ(ErrorMessageOf([&] { SavePhraseFile(path, PhraseTable({"a=b"})); }),
            FormatMessageText("ファイル %s を作成できません", path));
  EXPECT_TRUE(FolderEntries(dir.path()).empty());
}

TEST(SavePhraseFile, AReadOnlyFileIsRefusedAndKeptByteForByte) {
  TempDir dir;
  const std::string path = dir.File("list.tvw");
  WriteFileBytes(path, "old=row\r\n");
  testing::MakeReadOnly(dir.path() / "list.tvw");
  EXPECT_EQ(ErrorMessageOf([&] { SavePhraseFile(path, PhraseTable({"new=row"})); }),
            FormatMessageText("ファイル %s を作成できません", path));
  EXPECT_EQ(ReadFileBytes(path), "old=row\r\n");
  EXPECT_EQ(FolderEntries(dir.path()), (std::set<std::string>{"list.tvw"}));
}

#ifndef _WIN32
TEST(SavePhraseFile, AFullDiskRaisesTheWriteErrorAndKeepsTheOldFile) {
  TempDir dir;
  const std::string path = dir.File("list.tvw");
  const std::string old_bytes = "old=row\r\nsecond=row\r\n";
  WriteFileBytes(path, old_bytes);
  const PhraseTable table(std::vector<std::string>(1000, "stroke=a phrase that fills the disk"));
  std::string message;
  {
    testing::FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.ok());
    message = ErrorMessageOf([&] { SavePhraseFile(path, table); });
  }
  EXPECT_EQ(message, "ストリームへの書き込みエラー");
  EXPECT_EQ(ReadFileBytes(path), old_bytes);
  EXPECT_EQ(FolderEntries(dir.path()), (std::set<std::string>{"list.tvw"}));
}
#endif

}  // namespace
}  // namespace talvorine::files
