#include "files/file_buttons.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/error.h"
#include "files/fake_dialogs.h"
#include "files/file_test_support.h"
#include "files/recording_settings_observer.h"
#include "support/temp_dir.h"

namespace talvorine::files {
namespace {

using lookup::PhraseTable;
using talvorine::testing::ReadFileBytes;
using talvorine::testing::TempDir;
using talvorine::testing::WriteFileBytes;
using testing::ErrorMessageOf;
using testing::FakeDialogs;
using testing::FolderEntries;
using testing::RecordingSettingsObserver;

TEST(FileButtons, EachButtonAsksWithItsOwnDialogAndACancelDoesNothing) {
  TempDir dir;
  FakeDialogs dialogs;  // no answers: every dialog is cancelled
  Settings settings;
  settings.NWChannel = 9;
  PhraseTable table({"keep=me"});
  RecordingSettingsObserver observer;
  Button1Click(dialogs, settings, observer);
  Button2Click(dialogs, settings);
  Button3Click(dialogs, table);
  Button4Click(dialogs, table);
  EXPECT_EQ(dialogs.shown,
            (std::vector<FileDialogId>{FileDialogId::kSetLoadDlg, FileDialogId::kSaveSetDlg,
                                       FileDialogId::kWordLoadDlg, FileDialogId::kSaveWordDlg}));
  EXPECT_EQ(settings.NWChannel, 9);
  EXPECT_EQ(table.lines(), std::vector<std::string>{"keep=me"});
  EXPECT_TRUE(observer.calls.empty());
}

TEST(FileButtons, AChosenFileIsSavedAndLoaded) {
  TempDir dir;
  FakeDialogs dialogs;
  const std::string settings_path = dir.File("自動読込.tvs");
  const std::string phrases_path = dir.File("自動読込.tvw");
  dialogs.answers = {settings_path, phrases_path, settings_path, phrases_path};

  Settings saved;
  saved.NWChannel = 33;
  Button2Click(dialogs, saved);
  Button4Click(dialogs, PhraseTable({"a=b", "c=d"}));
  EXPECT_EQ(ReadFileBytes(phrases_path), "a=b\r\nc=d\r\n");

  Settings loaded;
  PhraseTable table = PhraseTable::OneEmptyRow();
  RecordingSettingsObserver observer;
  Button1Click(dialogs, loaded, observer);
  Button3Click(dialogs, table);
  EXPECT_EQ(loaded.NWChannel, 33);
  EXPECT_EQ(observer.calls, std::vector<std::string>{"size 116x225"});
  EXPECT_EQ(table.lines(), (std::vector<std::string>{"a=b", "c=d"}));
}

TEST(FileButtons, ErrorsPassToTheCaller) {
  TempDir dir;
  FakeDialogs dialogs;
  const std::string missing = dir.File("missing.tvw");
  const std::string no_folder = dir.File("gone") + "\\x.tvw";
  const std::string no_folder_settings = dir.File("gone") + "\\x.tvs";
  dialogs.answers = {missing, no_folder, no_folder_settings};
  PhraseTable table({"keep=me"});
  EXPECT_EQ(ErrorMessageOf([&] { Button3Click(dialogs, table); }),
            FormatMessageText("ファイル %s は開けません", missing));
  EXPECT_EQ(table.lines(), std::vector<std::string>{"keep=me"});
  EXPECT_EQ(ErrorMessageOf([&] { Button4Click(dialogs, table); }),
            FormatMessageText("ファイル %s を作成できません", no_folder));
  EXPECT_EQ(ErrorMessageOf([&] { Button2Click(dialogs, Settings{}); }),
            FormatMessageText("%s に書き込めません", no_folder_settings));
  EXPECT_TRUE(FolderEntries(dir.path()).empty());
}

}  // namespace
}  // namespace talvorine::files
