#include "app/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/error_record.h"
#include "common/handler_guard.h"
#include "common/error.h"
#include "common/system_file.h"
#include "support/fake_desktop.h"
#include "support/fake_timers.h"
#include "support/temp_dir.h"

namespace talvorine::app {
namespace {

using testing::FakeDesktop;
using testing::FakeTimers;
using testing::ReadFileBytes;
using testing::TempWorkingDir;
using testing::WriteFileBytes;

// One log for every part, so a test sees the order across them. A part can be told to fail.
struct Log {
  std::vector<std::string> calls;
  std::string failing;  // the call that throws, by its log name
  void Call(const std::string& name) {
    calls.push_back(name);
    if (name == failing) {
      throw Error(name + " failed");
    }
  }
};

class RecordingView : public MainWindowView {
 public:
  explicit RecordingView(Log& log) : log_(log) {}
  void FillLanKeyLists() override { log_.Call("FillLanKeyLists"); }
  void AcceptDroppedFiles() override { log_.Call("AcceptDroppedFiles"); }
  void RefreshFromSettings() override { log_.Call("RefreshFromSettings"); }
  void RefreshCkNWUse() override { log_.Call("RefreshCkNWUse"); }
  void ShowMainWindow() override { log_.Call("ShowMainWindow"); }
  void ShowInFront() override { log_.Call("ShowInFront"); }
  void RestoreIfMinimized() override { log_.Call("RestoreIfMinimized"); }
  void HideTrayIcon() override { log_.Call("HideTrayIcon"); }
  void EndApplication() override {
    log_.Call("EndApplication");
    if (on_end_application) {
      on_end_application();
    }
  }

  std::function<void()> on_end_application;

 private:
  Log& log_;
};

class RecordingCandidateWindow : public CandidateWindowStartup {
 public:
  explicit RecordingCandidateWindow(Log& log) : log_(log) {}
  void Show() override { log_.Call("Form2.Show"); }
  void StartHideTimer() override { log_.Call("Form2.StartHideTimer"); }

 private:
  Log& log_;
};

class RecordingHotkeys : public StartupHotkeys {
 public:
  explicit RecordingHotkeys(Log& log) : log_(log) {}
  void RegKeyClick() override { log_.Call("RegKeyClick"); }
  void NWKeySetClick() override { log_.Call("NWKeySetClick"); }
  void UnregisterAll() override { log_.Call("UnregisterAll"); }

 private:
  Log& log_;
};

class RecordingLan : public LanEndpointControl {
 public:
  explicit RecordingLan(Log& log) : log_(log) {}
  void CloseEndpoint() override { log_.Call("CloseEndpoint"); }

 private:
  Log& log_;
};

// The state files as the files subsystem writes them, so that a test reads what a close left.
class FileStateFiles : public StateFiles {
 public:
  FileStateFiles(Log& log, files::Settings& settings) : log_(log), settings_(settings) {}
  void LoadStartupFiles() override {
    log_.Call("LoadStartupFiles");
    if (on_load) {
      on_load(settings_);
    }
  }
  void SaveStateFiles() override {
    log_.Call("SaveStateFiles");
    WriteFileBytes(".\\Last.tvs", settings_.CkNWUse ? "UseNetwork=1\r\n" : "UseNetwork=0\r\n");
  }
  std::function<void(files::Settings&)> on_load;

 private:
  Log& log_;
  files::Settings& settings_;
};

class TForm1Test : public ::testing::Test {
 protected:
  TForm1Test() {
    record.AddLine(kErrorRecordTitle);
    desktop.on_process_messages = [this] { log.calls.push_back("ProcessPendingMessages"); };
    timers.on_tick = [this](TimerId id) {
      if (id == TimerId::kForm1Timer1) {
        form.Timer1Timer();
      }
    };
    timers.Start(TimerId::kForm1Timer1);
    timers.Start(TimerId::kForm1Timer2);
  }

  std::vector<std::string> RecordLines() const {
    return {record.lines().begin(), record.lines().end()};
  }

  TempWorkingDir working_dir;
  Log log;
  files::Settings settings;
  FakeTimers timers;
  FakeDesktop desktop{&timers};
  MemoryErrorRecord record;
  HandlerGuard guard{record};
  RecordingView view{log};
  RecordingCandidateWindow candidate_window{log};
  RecordingHotkeys hotkeys{log};
  RecordingLan lan{log};
  FileStateFiles state_files{log, settings};
  TForm1 form{MainWindowParts{settings, timers, desktop, record, guard, view, candidate_window,
                              hotkeys, lan, state_files}};
};

TEST_F(TForm1Test, CreationAddsTheVersionLineAfterTheTitle) {
  form.FormCreate();
  EXPECT_EQ(RecordLines(),
            (std::vector<std::string>{"【Talvorine エラー記録】", "Talvorine v1.32　"}));
  EXPECT_EQ(log.calls, (std::vector<std::string>{"FillLanKeyLists", "AcceptDroppedFiles"}));
}

TEST_F(TForm1Test, StartupRunsOnceASecondAfterCreation) {
  timers.Advance(999);
  EXPECT_TRUE(log.calls.empty());
  timers.Advance(1);
  EXPECT_EQ(log.calls,
            (std::vector<std::string>{"Form2.Show", "LoadStartupFiles", "RefreshFromSettings",
                                      "ShowMainWindow", "ProcessPendingMessages",
                                      "ProcessPendingMessages", "Form2.StartHideTimer"}));
  EXPECT_FALSE(timers.IsRunning(TimerId::kForm1Timer1));
  log.calls.clear();
  timers.Advance(5000);
  EXPECT_TRUE(log.calls.empty());
}

struct StartupCase {
  const char* name;
  bool auto_key;
  bool nw_load_key;
  bool auto_min;
  std::vector<std::string> calls;
};

TEST_F(TForm1Test, StartupFollowsTheSwitchesJustLoaded) {
  const StartupCase cases[] = {
      {"nothing automatic",
       false,
       false,
       false,
       {"Form2.Show", "LoadStartupFiles", "RefreshFromSettings", "ShowMainWindow",
        "ProcessPendingMessages", "ProcessPendingMessages", "Form2.StartHideTimer"}},
      {"start hotkey",
       true,
       false,
       false,
       {"Form2.Show", "LoadStartupFiles", "RefreshFromSettings", "RegKeyClick", "ShowMainWindow",
        "ProcessPendingMessages", "ProcessPendingMessages", "Form2.StartHideTimer"}},
      {"both hotkeys, stay in the tray",
       true,
       true,
       true,
       {"Form2.Show", "LoadStartupFiles", "RefreshFromSettings", "RegKeyClick", "NWKeySetClick",
        "ProcessPendingMessages", "Form2.StartHideTimer"}},
      {"LAN hotkeys only",
       false,
       true,
       false,
       {"Form2.Show", "LoadStartupFiles", "RefreshFromSettings", "NWKeySetClick", "ShowMainWindow",
        "ProcessPendingMessages", "ProcessPendingMessages", "Form2.StartHideTimer"}},
  };
  for (const StartupCase& c : cases) {
    log.calls.clear();
    settings = files::Settings{};
    // The switches come from the files, not from what the settings held before.
    settings.CkAutoKey = !c.auto_key;
    settings.CkNwLoadKey = !c.nw_load_key;
    settings.CkAutoMin = !c.auto_min;
    state_files.on_load = [&c](files::Settings& loaded) {
      loaded.CkAutoKey = c.auto_key;
      loaded.CkNwLoadKey = c.nw_load_key;
      loaded.CkAutoMin = c.auto_min;
    };
    form.Timer1Timer();
    EXPECT_EQ(log.calls, c.calls) << c.name;
  }
}

TEST_F(TForm1Test, ShowingFromTheTrayShowsRaisesAndRestores) {
  const std::vector<std::string> expected{"ShowMainWindow", "ShowInFront", "RestoreIfMinimized"};
  form.V1Click();
  EXPECT_EQ(log.calls, expected);
  log.calls.clear();
  form.TrayIcon1Restore();
  EXPECT_EQ(log.calls, expected);
}

TEST_F(TForm1Test, CloseSwitchesLanOffSavesAndWritesTheLog) {
  settings.CkNWUse = true;
  form.FormCreate();
  record.AddLine("エラー：abc");
  log.calls.clear();
  form.Close();
  EXPECT_EQ(log.calls,
            (std::vector<std::string>{"RefreshCkNWUse", "HideTrayIcon", "CloseEndpoint",
                                      "UnregisterAll", "SaveStateFiles", "EndApplication"}));
  EXPECT_FALSE(timers.IsRunning(TimerId::kForm1Timer2));
  EXPECT_FALSE(settings.CkNWUse);
  EXPECT_EQ(ReadFileBytes(".\\Last.tvs"), "UseNetwork=0\r\n");
  EXPECT_EQ(ReadFileBytes(".Talvorine.log"),
            "【Talvorine エラー記録】\r\nTalvorine v1.32　\r\nエラー：abc\r\n");
}

TEST_F(TForm1Test, TheLogOfAnEarlierRunIsReplaced) {
  WriteFileBytes(".Talvorine.log", std::string(5000, 'x'));
  form.Close();
  EXPECT_EQ(ReadFileBytes(".Talvorine.log"), "【Talvorine エラー記録】\r\n");
}

struct CloseFailureCase {
  const char* name;
  const char* failing;
  bool closes;
  bool log_written;
};

TEST_F(TForm1Test, CloseFailuresEndTheSequenceExceptAtTheTrayAndTheEndpoint) {
  constexpr CloseFailureCase kCases[] = {
      {"tray icon", "HideTrayIcon", true, true},
      {"endpoint", "CloseEndpoint", true, true},
      {"hotkeys", "UnregisterAll", false, false},
      {"state files", "SaveStateFiles", false, false},
  };
  for (const CloseFailureCase& c : kCases) {
    log.calls.clear();
    RemoveSystemFile(".Talvorine.log");
    settings.CkNWUse = true;
    timers.Start(TimerId::kForm1Timer2);
    log.failing = c.failing;
    const bool completed = guard.Run([&] { form.Close(); });
    EXPECT_EQ(completed, c.closes) << c.name;
    const bool ended =
        std::find(log.calls.begin(), log.calls.end(), "EndApplication") != log.calls.end();
    EXPECT_EQ(ended, c.closes) << c.name;
    EXPECT_EQ(SystemFileExists(".Talvorine.log"), c.log_written) << c.name;
    // What the steps before did stays in force.
    EXPECT_FALSE(settings.CkNWUse) << c.name;
    EXPECT_FALSE(timers.IsRunning(TimerId::kForm1Timer2)) << c.name;
    if (!c.closes) {
      EXPECT_EQ(record.lines().back(), std::string("エラー：") + c.failing + " failed") << c.name;
    }
  }
}

TEST_F(TForm1Test, ALogThatCannotBeWrittenKeepsTheProgramRunning) {
  std::filesystem::create_directory(".Talvorine.log");
  EXPECT_FALSE(guard.Run([&] { form.Close(); }));
  EXPECT_EQ(record.lines().back(), "エラー：ファイル .Talvorine.log を作成できません");
  EXPECT_EQ(log.calls.back(), "SaveStateFiles");
}

TEST_F(TForm1Test, SaveAndQuitKeepsLanAndWritesNoLog) {
  settings.CkNWUse = true;
  WriteFileBytes(".Talvorine.log", "earlier run\r\n");
  form.Q1Click();
  EXPECT_EQ(log.calls, (std::vector<std::string>{"SaveStateFiles", "EndApplication"}));
  EXPECT_EQ(ReadFileBytes(".\\Last.tvs"), "UseNetwork=1\r\n");
  EXPECT_EQ(ReadFileBytes(".Talvorine.log"), "earlier run\r\n");
  EXPECT_TRUE(timers.IsRunning(TimerId::kForm1Timer2));
}

TEST_F(TForm1Test, SaveAndQuitEndsLanSharingForASendUnderWay) {
  // The tray menu is handled inside the message pump of a file send, which goes on while LAN
  // sharing is on: the program would end only once the whole file had gone out.
  settings.CkNWUse = true;
  bool lan_on_at_end = true;
  view.on_end_application = [&] { lan_on_at_end = settings.CkNWUse; };
  form.Q1Click();
  EXPECT_FALSE(lan_on_at_end) << "the send must stop at its next chunk";
  EXPECT_EQ(ReadFileBytes(".\\Last.tvs"), "UseNetwork=1\r\n") << "saved as it was";
}

TEST_F(TForm1Test, AFailedSaveAndQuitKeepsTheProgramRunning) {
  log.failing = "SaveStateFiles";
  EXPECT_FALSE(guard.Run([&] { form.Q1Click(); }));
  EXPECT_EQ(log.calls, std::vector<std::string>{"SaveStateFiles"});
  EXPECT_EQ(record.lines().back(), "エラー：SaveStateFiles failed");
}

struct EndSessionCase {
  const char* name;
  std::uint32_t message;
  std::uintptr_t w_param;
  std::intptr_t result;
  bool closes;
};

TEST_F(TForm1Test, ShutdownMessagesAreAnsweredAtOnceAndARealOneCloses) {
  constexpr EndSessionCase kCases[] = {
      {"query", kWmQueryEndSession, 0, 1, false},
      {"query at log-off", kWmQueryEndSession, 1, 1, false},
      {"message 0x003B", kWmEndSessionAlias, 0, 1, false},
      {"end session cancelled", kWmEndSession, 0, 0, false},
      {"end session", kWmEndSession, 1, 1, true},
      {"end session at log-off", kWmEndSession, 0x80000000u, 1, true},
  };
  for (const EndSessionCase& c : kCases) {
    log.calls.clear();
    EXPECT_EQ(form.WMEndSession(c.message, c.w_param), c.result) << c.name;
    const bool closed = !log.calls.empty() && log.calls.back() == "EndApplication";
    EXPECT_EQ(closed, c.closes) << c.name;
    if (!c.closes) {
      EXPECT_TRUE(log.calls.empty()) << c.name;
    }
  }
}

TEST_F(TForm1Test, AShutdownIsNotRefusedWhenTheCloseFails) {
  log.failing = "SaveStateFiles";
  EXPECT_EQ(form.WMEndSession(kWmEndSession, 1), 1);
  EXPECT_EQ(record.lines().back(), "エラー：SaveStateFiles failed");
}

}  // namespace
}  // namespace talvorine::app
