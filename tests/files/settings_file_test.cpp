#include "files/settings_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/error.h"
#include "files/file_test_support.h"
#include "files/ini_file.h"
#include "files/recording_settings_observer.h"
#include "files/settings.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <share.h>
#endif

namespace talvorine::files {
namespace {

using talvorine::testing::ReadFileBytes;
using talvorine::testing::TempDir;
using talvorine::testing::WriteFileBytes;
using testing::ErrorMessageOf;
using testing::FolderEntries;
using testing::RecordingSettingsObserver;

// A record in which every value differs from its default.
Settings EveryValueChanged() {
  Settings s;
  s.Metakey = 3;
  s.Key = 44;
  s.CkAutoMin = true;
  s.CkAutoKey = true;
  s.CkRecovCB = true;
  s.CkAutoResult = true;
  s.Form2Width = 300;
  s.Form2Height = 401;
  s.CkNWUse = true;
  s.Metakey_set = 1;
  s.Key_set = 20;
  s.Metakey_get = 2;
  s.Key_get = 21;
  s.Metakey_send_set = 4;
  s.Key_send_set = 22;
  s.Metakey_fsend_set = 5;
  s.Key_fsend_set = 23;
  s.CkNwLoadKey = true;
  s.NWChannel = 50;
  s.InetWordFiles = {"http://127.0.0.1/a.tvw", "", "C:\\語句\\b.tvw"};
  s.ReloadTime = 240;
  s.WindowWait = 2000;
  return s;
}

Settings LoadFrom(const std::string& path, Settings settings = {}) {
  RecordingSettingsObserver observer;
  LoadSettings(path, settings, observer);
  return settings;
}

TEST(SaveSettings, AFileWrittenFromScratchHoldsTheKeysInTableOrder) {
  TempDir dir;
  const std::string path = dir.File("new.tvs");
  Settings settings;
  settings.InetWordFiles = {"http://127.0.0.1/w.tvw", "local.tvw"};
  SaveSettings(path, settings);
  EXPECT_EQ(ReadFileBytes(path),
            "[Key]\r\n"
            "MetaKey=0\r\n"
            "Key=0\r\n"
            "[Config]\r\n"
            "AutoMinWindow=0\r\n"
            "AutoKeySet=0\r\n"
            "AutoRecovCB=0\r\n"
            "[Select]\r\n"
            "Width=116\r\n"
            "Height=225\r\n"
            "AutoResult=0\r\n"
            "[Network]\r\n"
            "UseNetwork=0\r\n"
            "MetaKey_set=0\r\n"
            "Key_set=10\r\n"
            "MetaKey_get=0\r\n"
            "Key_get=12\r\n"
            "MetaKey_send=0\r\n"
            "Key_send=14\r\n"
            "MetaKey_fsend=0\r\n"
            "Key_fsend=15\r\n"
            "AutoNwKeySet=0\r\n"
            "CH=1\r\n"
            "[Extend]\r\n"
            "Total=2\r\n"
            "ReloadFreq=10\r\n"
            "WindowWait=100\r\n"
            "File0000=http://127.0.0.1/w.tvw\r\n"
            "File0001=local.tvw\r\n");
  EXPECT_EQ(FolderEntries(dir.path()), (std::set<std::string>{"new.tvs"}));
}

TEST(Settings, EveryValueComesBackFromASavedFile) {
  TempDir dir;
  const std::string path = dir.File("all.tvs");
  const Settings saved = EveryValueChanged();
  SaveSettings(path, saved);
  Settings loaded = LoadFrom(path);
  loaded.IPaddr = saved.IPaddr;
  EXPECT_EQ(loaded, saved);
}

TEST(LoadSettings, AMissingFileGivesEveryDefaultAndNoLocations) {
  TempDir dir;
  Settings settings = EveryValueChanged();
  settings.IPaddr = "127.255.255.255";
  RecordingSettingsObserver observer;
  LoadSettings(dir.File("missing.tvs"), settings, observer);
  Settings expected;
  expected.IPaddr = "127.255.255.255";  // not part of the file
  EXPECT_EQ(settings, expected);
  EXPECT_EQ(observer.calls,
            (std::vector<std::string>{"size 116x225", "ReloadTimeChange", "ReloadTimeChange"}));
}

TEST(LoadSettings, TellsTheSizeAlwaysAndReloadTimeChangeOnlyForAChangedValue) {
  TempDir dir;
  const std::string path = dir.File("s.tvs");
  WriteFileBytes(path, "[Select]\r\nWidth=200\r\nHeight=300\r\n[Extend]\r\nWindowWait=50\r\n");
  Settings settings;
  RecordingSettingsObserver first;
  LoadSettings(path, settings, first);
  EXPECT_EQ(first.calls, (std::vector<std::string>{"size 200x300", "ReloadTimeChange"}));
  RecordingSettingsObserver second;
  LoadSettings(path, settings, second);
  EXPECT_EQ(second.calls, (std::vector<std::string>{"size 200x300"}));
}

struct LoadCase {
  const char* name;
  std::string_view file;
  int (*field)(const Settings&);
  int expected;
};

constexpr auto kUseNetwork = [](const Settings& s) { return int{s.CkNWUse}; };
constexpr auto kAutoResult = [](const Settings& s) { return int{s.CkAutoResult}; };
constexpr auto kChannel = [](const Settings& s) { return s.NWChannel; };
constexpr auto kReloadTime = [](const Settings& s) { return s.ReloadTime; };
constexpr auto kWindowWait = [](const Settings& s) { return s.WindowWait; };
constexpr auto kMetakey = [](const Settings& s) { return s.Metakey; };
constexpr auto kKey = [](const Settings& s) { return s.Key; };
constexpr auto kKeyFsend = [](const Settings& s) { return s.Key_fsend_set; };
constexpr auto kWidth = [](const Settings& s) { return s.Form2Width; };
constexpr auto kLocationCount = [](const Settings& s) {
  return static_cast<int>(s.InetWordFiles.size());
};

constexpr LoadCase kLoadCases[] = {
    {"a word is no boolean", "[Network]\r\nUseNetwork=true\r\n", kUseNetwork, 0},
    {"2 is true", "[Network]\r\nUseNetwork=2\r\n", kUseNetwork, 1},
    {"hexadecimal boolean", "[Select]\r\nAutoResult=0x1\r\n", kAutoResult, 1},
    {"hexadecimal channel", "[Network]\r\nCH=0x0A\r\n", kChannel, 10},
    {"dollar channel", "[Network]\r\nCH=$0b\r\n", kChannel, 11},
    {"channel 0 is 1", "[Network]\r\nCH=0\r\n", kChannel, 1},
    {"channel 99 is 50", "[Network]\r\nCH=99\r\n", kChannel, 50},
    {"channel not a number", "[Network]\r\nCH=12abc\r\n", kChannel, 1},
    {"quoted channel", "[Network]\r\nCH=\"7\"\r\n", kChannel, 7},
    {"reload 0 is 1", "[Extend]\r\nReloadFreq=0\r\n", kReloadTime, 1},
    {"reload 241 is 240", "[Extend]\r\nReloadFreq=241\r\n", kReloadTime, 240},
    {"wait 5000 is 2000", "[Extend]\r\nWindowWait=5000\r\n", kWindowWait, 2000},
    {"wait -5 is 10", "[Extend]\r\nWindowWait=-5\r\n", kWindowWait, 10},
    {"key 99 selects nothing", "[Key]\r\nKey=99\r\n", kKey, -1},
    {"key 44 is the last item", "[Key]\r\nKey=44\r\n", kKey, 44},
    {"key 45 is past the list", "[Key]\r\nKey=45\r\n", kKey, -1},
    {"key -1 selects nothing", "[Key]\r\nKey=-1\r\n", kKey, -1},
    {"key -7 selects nothing", "[Key]\r\nKey=-7\r\n", kKey, -1},
    {"modifier 5 is the last item", "[Key]\r\nMetaKey=5\r\n", kMetakey, 5},
    {"modifier 6 is past the list", "[Key]\r\nMetaKey=6\r\n", kMetakey, -1},
    {"names in other letter case", "[KEY]\r\nmetakey=3\r\n", kMetakey, 3},
    {"LAN key by its own name", "[Network]\r\nKey_fsend=30\r\n", kKeyFsend, 30},
    {"width applied as read", "[Select]\r\nWidth=-5\r\n", kWidth, -5},
    {"width not a number", "[Select]\r\nWidth=wide\r\n", kWidth, 116},
    {"negative total", "[Extend]\r\nTotal=-2\r\nFile0000=a\r\n", kLocationCount, 0},
    {"total not a number", "[Extend]\r\nTotal=two\r\nFile0000=a\r\n", kLocationCount, 0},
    {"a damaged total is bounded", "[Extend]\r\nTotal=2147483647\r\n", kLocationCount, 100000},
};

TEST(LoadSettings, ReadsEachValueByItsRules) {
  TempDir dir;
  const std::string path = dir.File("case.tvs");
  for (const LoadCase& test : kLoadCases) {
    WriteFileBytes(path, test.file);
    EXPECT_EQ(test.field(LoadFrom(path)), test.expected) << test.name;
  }
}

TEST(LoadSettings, ReadsLocationsBelowTotalOnly) {
  TempDir dir;
  const std::string path = dir.File("locations.tvs");
  WriteFileBytes(path,
                 "[Extend]\r\nTotal=3\r\nFile0000=\"http://127.0.0.1/quoted.tvw\"\r\n"
                 "File0003=beyond total\r\n");
  Settings settings;
  settings.InetWordFiles = {"old"};
  settings = LoadFrom(path, settings);
  EXPECT_EQ(settings.InetWordFiles,
            (std::vector<std::string>{"http://127.0.0.1/quoted.tvw", "", ""}));
}

TEST(SaveSettings, AComboWithNoSelectionIsWrittenAsMinusOne) {
  TempDir dir;
  const std::string path = dir.File("combo.tvs");
  WriteFileBytes(path, "[Key]\r\nKey=99\r\n");
  SaveSettings(path, LoadFrom(path));
  EXPECT_EQ(IniFile(ReadFileBytes(path)).FindValue("Key", "Key"), "-1");
  Settings out_of_list;
  out_of_list.Key_get = 45;
  SaveSettings(path, out_of_list);
  EXPECT_EQ(IniFile(ReadFileBytes(path)).FindValue("Network", "Key_get"), "-1");
}

TEST(SaveSettings, AShorterListLeavesTheSurplusKeysUnread) {
  TempDir dir;
  const std::string path = dir.File("list.tvs");
  Settings settings;
  settings.InetWordFiles = {"a", "b", "c", "d", "e"};
  SaveSettings(path, settings);
  settings.InetWordFiles = {"x", "y"};
  SaveSettings(path, settings);
  const IniFile file(ReadFileBytes(path));
  EXPECT_EQ(file.FindValue("Extend", "File0002"), "c");
  EXPECT_EQ(file.FindValue("Extend", "File0004"), "e");
  EXPECT_EQ(LoadFrom(path).InetWordFiles, (std::vector<std::string>{"x", "y"}));
}

TEST(SaveSettings, KeepsEveryOtherLineOfTheFile) {
  TempDir dir;
  const std::string path = dir.File("kept.tvs");
  WriteFileBytes(path,
                 "; written by hand\r\n[key]\r\nmetakey=5\r\nExtra=1\r\n\r\n"
                 "[Mine]\r\nA=b\r\n");
  Settings settings;
  settings.Metakey = 2;
  SaveSettings(path, settings);
  const std::string text = ReadFileBytes(path);
  EXPECT_TRUE(text.starts_with(
      "; written by hand\r\n[key]\r\nMetaKey=2\r\nExtra=1\r\nKey=0\r\n\r\n[Mine]\r\nA=b\r\n"
      "[Config]\r\n"))
      << text;
}

TEST(SaveSettings, LocationKeysGrowPastFourDigits) {
  TempDir dir;
  const std::string path = dir.File("many.tvs");
  Settings settings;
  settings.InetWordFiles.assign(10001, "");
  settings.InetWordFiles[9999] = "four digits";
  settings.InetWordFiles[10000] = "five digits";
  SaveSettings(path, settings);
  const IniFile file(ReadFileBytes(path));
  EXPECT_EQ(file.FindValue("Extend", "File9999"), "four digits");
  EXPECT_EQ(file.FindValue("Extend", "File10000"), "five digits");
  EXPECT_EQ(LoadFrom(path).InetWordFiles, settings.InetWordFiles);
}

TEST(SaveSettings, AReadOnlyFileIsRefusedAndKeptByteForByte) {
  TempDir dir;
  const std::string path = dir.File("locked.tvs");
  const std::string old_bytes = "[Key]\r\nMetaKey=4\r\n";
  WriteFileBytes(path, old_bytes);
  testing::MakeReadOnly(dir.path() / "locked.tvs");
  EXPECT_EQ(ErrorMessageOf([&] { SaveSettings(path, Settings{}); }),
            FormatMessageText("%s に書き込めません", path));
  EXPECT_EQ(ReadFileBytes(path), old_bytes);
  EXPECT_EQ(FolderEntries(dir.path()), (std::set<std::string>{"locked.tvs"}));
}

TEST(SaveSettings, AMissingFolderRaisesTheMessage) {
  TempDir dir;
  const std::string path = dir.File("gone") + "\\s.tvs";
  EXPECT_EQ(ErrorMessageOf([&] { SaveSettings(path, Settings{}); }),
            FormatMessageText("%s に書き込めません", path));
  EXPECT_TRUE(FolderEntries(dir.path()).empty());
}

#ifndef _WIN32
TEST(SaveSettings, AFullDiskRaisesTheMessageAndKeepsEveryOldValue) {
  TempDir dir;
  const std::string path = dir.File("full.tvs");
  Settings old_settings;
  old_settings.NWChannel = 7;
  SaveSettings(path, old_settings);
  const std::string old_bytes = ReadFileBytes(path);
  Settings new_settings = EveryValueChanged();
  new_settings.InetWordFiles.assign(200, "http://127.0.0.1/a-long-location-name.tvw");
  std::string message;
  {
    testing::FileSizeLimit limit(old_bytes.size() + 100);
    ASSERT_TRUE(limit.ok());
    message = ErrorMessageOf([&] { SaveSettings(path, new_settings); });
  }
  EXPECT_EQ(message, FormatMessageText("%s に書き込めません", path));
  EXPECT_EQ(ReadFileBytes(path), old_bytes);
  EXPECT_EQ(FolderEntries(dir.path()), (std::set<std::string>{"full.tvs"}));
}
#endif

#ifdef _WIN32
TEST(SaveSettings, AFileThatCannotBeReadIsNotOverwritten) {
  TempDir dir;
  const std::string path = dir.File("held.tvs");
  WriteFileBytes(path, "[Mine]\r\nKeep=1\r\n");
  // Another program holds the file and lets no one read it.
  std::FILE* holder = _wfsopen((dir.path() / "held.tvs").c_str(), L"rb", _SH_DENYRW);
  ASSERT_NE(holder, nullptr);
  const std::string message = ErrorMessageOf([&] { SaveSettings(path, Settings{}); });
  std::fclose(holder);
  EXPECT_EQ(message, FormatMessageText("%s に書き込めません", path));
  EXPECT_EQ(ReadFileBytes(path), "[Mine]\r\nKeep=1\r\n");
}
#endif

struct SpinCase {
  const char* name;
  std::string_view text;
  SpinRange range;
  int value;
};

constexpr SpinCase kSpinCases[] = {
    {"in range", "42", kReloadTimeRange, 42}, {"above", "5000", kWindowWaitRange, 2000},
    {"below", "0", kNWChannelRange, 1},       {"not a number", "abc", kWindowWaitRange, 10},
    {"empty", "", kReloadTimeRange, 1},       {"blanks", " 30 ", kNWChannelRange, 30},
};

TEST(SpinEditValue, ANonNumberCountsAsTheMinimum) {
  for (const SpinCase& test : kSpinCases) {
    EXPECT_EQ(SpinEditValue(test.text, test.range), test.value) << test.name;
  }
}

}  // namespace
}  // namespace talvorine::files
