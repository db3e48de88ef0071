#pragma once

#include <cstdint>
#include <string_view>

#include "common/error_record.h"
#include "common/handler_guard.h"
#include "common/timers.h"
#include "desktop/desktop.h"
#include "files/settings.h"
#include "talvorine_version.h"

namespace talvorine::app {

// The text of the version label Label3; it ends in a full-width space.
inline constexpr std::string_view kVersionLabel = "Talvorine v" TALVORINE_VERSION_TEXT "　";

// What the main window's sequences ask of the window itself and of its tray icon.
class MainWindowView {
 public:
  virtual ~MainWindowView() = default;
  // The eight LAN hotkey lists take the items of the start hotkey's lists.
  virtual void FillLanKeyLists() = 0;
  // Files dropped from the shell are accepted from now on.
  virtual void AcceptDroppedFiles() = 0;
  // Every control shows the settings and the main table as they now are.
  virtual void RefreshFromSettings() = 0;
  // The LAN check box shows CkNWUse.
  virtual void RefreshCkNWUse() = 0;
  virtual void ShowMainWindow() = 0;
  virtual void ShowInFront() = 0;
  virtual void RestoreIfMinimized() = 0;
  virtual void HideTrayIcon() = 0;
  // The message loop stops and the program ends.
  virtual void EndApplication() = 0;
};

// The candidate window during start-up: on screen for the loads, hidden a moment after.
class CandidateWindowStartup {
 public:
  virtual ~CandidateWindowStartup() = default;
  virtual void Show() = 0;
  // Starts Form2's Timer2, whose tick hides the window.
  virtual void StartHideTimer() = 0;
};

// The hotkey registrations the start-up and the close sequence use.
class StartupHotkeys {
 public:
  virtual ~StartupHotkeys() = default;
  // As the button RegKey: the start hotkey, with its failure box.
  virtual void RegKeyClick() = 0;
  // As the button NWKeySet: the four LAN hotkeys.
  virtual void NWKeySetClick() = 0;
  // Ids 0 to 4, in this order.
  virtual void UnregisterAll() = 0;
};

// The LAN endpoint IdUDPServer1, as the close sequence sees it.
class LanEndpointControl {
 public:
  virtual ~LanEndpointControl() = default;
  virtual void CloseEndpoint() = 0;
};

// The state and auto-load files.
class StateFiles {
 public:
  virtual ~StateFiles() = default;
  // The four guarded loads of start-up; never fails.
  virtual void LoadStartupFiles() = 0;
  // ".\Last.tvs" then ".\Last.tvw"; an Error passes to the caller.
  virtual void SaveStateFiles() = 0;
};

struct MainWindowParts {
  files::Settings& settings;
  Timers& timers;
  desktop::Desktop& desktop;
  ErrorRecord& record;
  HandlerGuard& guard;
  MainWindowView& view;
  CandidateWindowStartup& candidate_window;
  StartupHotkeys& hotkeys;
  LanEndpointControl& lan;
  StateFiles& state_files;
};

// The messages of the shutdown and log-off map.
inline constexpr std::uint32_t kWmQueryEndSession = 0x0011;
inline constexpr std::uint32_t kWmEndSession = 0x0016;
inline constexpr std::uint32_t kWmEndSessionAlias = 0x003B;

// The main window's behaviour: its creation, the start-up sequence, showing it from the tray,
// the two ways of ending and the shutdown messages. The Win32 layer only delivers the events.
class TForm1 {
 public:
  explicit TForm1(const MainWindowParts& parts);

  // When the window has been created: LAN key lists, the version line of the record, drops.
  void FormCreate();
  // The first tick of Timer1: the start-up sequence, once.
  void Timer1Timer();
  // The tray menu's "画面を表示(&V)..." and the restore of a minimized window.
  void V1Click();
  void TrayIcon1Restore();
  // The tray menu's "現状保存して終了(&Q)": save the state files and end, without the close
  // sequence. A failed save passes to the caller and the program keeps running.
  void Q1Click();
  // The close sequence. Throws when unregistering, saving or writing the log fails; the window
  // then stays open.
  void FormClose();
  // The main window is asked to close (close box, system menu, shutdown): the close sequence,
  // then the end of the program; a failure of the sequence passes to the caller.
  void Close();
  // WM_QUERYENDSESSION, 0x003B and WM_ENDSESSION; the message's result. The program never
  // delays or refuses a shutdown; a real one (WM_ENDSESSION, wParam not 0) runs Close, whose
  // failure goes to the error record.
  std::intptr_t WMEndSession(std::uint32_t message, std::uintptr_t w_param);

 private:
  MainWindowParts parts_;
};

}  // namespace talvorine::app
