#include "files/state_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/system_file.h"
#include "files/file_test_support.h"
#include "files/recording_settings_observer.h"
#include "files/settings_file.h"
#include "support/temp_dir.h"

namespace talvorine::files {
namespace {

using lookup::PhraseTable;
using talvorine::testing::ReadFileBytes;
using talvorine::testing::TempWorkingDir;
using talvorine::testing::WriteFileBytes;
using testing::ErrorMessageOf;
using testing::RecordingSettingsObserver;

Settings WithChannel(int channel) {
  Settings settings;
  settings.NWChannel = channel;
  return settings;
}

struct Startup {
  Settings settings;
  PhraseTable table = PhraseTable::OneEmptyRow();
};

Startup RunStartup() {
  Startup startup;
  RecordingSettingsObserver observer;
  LoadStartupFiles(startup.settings, startup.table, observer);
  return startup;
}

TEST(LoadStartupFiles, WithNoFilesTheDefaultsAndOneEmptyRowStay) {
  TempWorkingDir dir;
  const Startup startup = RunStartup();
  EXPECT_EQ(startup.settings, Settings{});
  EXPECT_EQ(startup.table.lines(), std::vector<std::string>{""});
}

TEST(LoadStartupFiles, TheStateSavedAtTheLastExitComesBack) {
  TempWorkingDir dir;
  Settings saved = WithChannel(12);
  saved.InetWordFiles = {"http://127.0.0.1/w.tvw"};
  SaveStateFiles(saved, PhraseTable({"ab=A", "ac=B"}));
  EXPECT_EQ(ReadFileBytes(dir.File("Last.tvw")), "ab=A\r\nac=B\r\n");
  const Startup startup = RunStartup();
  EXPECT_EQ(startup.settings, saved);
  EXPECT_EQ(startup.table.lines(), (std::vector<std::string>{"ab=A", "ac=B"}));
}

TEST(LoadStartupFiles, AutoLoadFilesWinAndTheirSettingsReplaceEveryValue) {
  TempWorkingDir dir;
  Settings last = WithChannel(12);
  last.CkAutoMin = true;
  SaveSettings(".\\Last.tvs", last);
  WriteFileBytes(dir.File("Last.tvw"), "last=row\r\n");
  // The auto-load settings lack AutoMinWindow: it takes its default, not the value of Last.tvs.
  WriteFileBytes(dir.File("自動読込.tvs"), "[Network]\r\nCH=40\r\n");
  WriteFileBytes(dir.File("自動読込.tvw"), "auto=row");
  const Startup startup = RunStartup();
  EXPECT_EQ(startup.settings, WithChannel(40));
  EXPECT_EQ(startup.table.lines(), std::vector<std::string>{"auto=row"});
}

TEST(LoadStartupFiles, AnUnreadableFileIsPassedOverAndTheNextLoadRuns) {
  TempWorkingDir dir;
  // Folders stand in for files that cannot be read.
  std::filesystem::create_directory(dir.path() / "Last.tvw");
  std::filesystem::create_directory(dir.path() / "Last.tvs");
  WriteFileBytes(dir.File("自動読込.tvs"), "[Network]\r\nCH=5\r\n");
  Startup startup = RunStartup();
  EXPECT_EQ(startup.settings, WithChannel(5));
  EXPECT_EQ(startup.table.lines(), std::vector<std::string>{""});

  std::filesystem::remove(dir.path() / "Last.tvw");
  WriteFileBytes(dir.File("Last.tvw"), "last=row\r\n");
  std::filesystem::create_directory(dir.path() / u8"自動読込.tvw");
  startup = RunStartup();
  EXPECT_EQ(startup.table.lines(), std::vector<std::string>{"last=row"});
}

TEST(SaveStateFiles, AReadOnlySettingsFileStopsTheSaveBeforeThePhraseFile) {
  TempWorkingDir dir;
  WriteFileBytes(dir.File("Last.tvs"), "[Key]\r\nMetaKey=1\r\n");
  testing::MakeReadOnly(dir.path() / "Last.tvs");
  EXPECT_EQ(ErrorMessageOf([] { SaveStateFiles(Settings{}, PhraseTable({"a=b"})); }),
            FormatMessageText("%s に書き込めません", ".\\Last.tvs"));
  EXPECT_EQ(ReadFileBytes(dir.File("Last.tvs")), "[Key]\r\nMetaKey=1\r\n");
  EXPECT_FALSE(SystemFileExists(dir.File("Last.tvw")));
}

}  // namespace
}  // namespace talvorine::files
