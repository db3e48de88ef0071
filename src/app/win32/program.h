#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string>

#include "app/main_window.h"
#include "app/win32/lan_windows.h"
#include "app/win32/main_window_events.h"
#include "app/win32/memo_error_record.h"
#include "app/win32/regional_format.h"
#include "app/win32/talvorine_main.h"
#include "app/win32/win32_dialogs.h"
#include "common/handler_guard.h"
#include "common/steady_clock.h"
#include "desktop/clipboard_relay.h"
#include "desktop/hotkeys.h"
#include "desktop/win32/talvorine_result.h"
#include "desktop/win32/win32_desktop.h"
#include "files/settings.h"
#include "files/settings_file.h"
#include "lan/file_sender.h"
#include "lan/lan_actions.h"
#include "lan/lan_desktop.h"
#include "lan/lan_service.h"
#include "lan/receiver.h"
#include "lan/win32/talvorine_sendform.h"
#include "lan/win32/win32_host_network.h"
#include "lan/win32/winsock_udp_endpoint.h"
#include "lookup/phrase_table.h"
#include "lookup/system_clock.h"
#include "ui/win32/message_window.h"
#include "webwords/http_client.h"
#include "webwords/web_word_files.h"
#include "webwords/win32/winhttp_client.h"

namespace talvorine::win32 {

// The composition root: owns the settings, the main table, the error record, every subsystem
// and the windows, and wires them together. One instance lives for the whole run.
class Program : private MainWindowEvents,
                private desktop::HotkeyActions,
                private files::SettingsObserver,
                private app::StateFiles,
                private app::StartupHotkeys,
                private app::LanEndpointControl,
                private app::CandidateWindowStartup {
 public:
  Program();
  ~Program() override;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Creates the windows in their order (Form1, Form2, SendForm) and runs the message loop until
  // the program ends. An exception while the windows are made passes to the caller.
  int Run();

 private:
  // MainWindowEvents
  void Button1Click() override;
  void Button2Click() override;
  void Button3Click() override;
  void Button4Click() override;
  void RegKeyClick() override { hotkeys_.RegKeyClick(); }
  void UnRegKeyClick() override { hotkeys_.UnRegKeyClick(); }
  void NWKeySetClick() override { hotkeys_.NWKeySetClick(); }
  void NWKeyUnsetClick() override { hotkeys_.NWKeyUnsetClick(); }
  void ReloadTimeChange() override;
  void Button5Click() override;
  void Button6Click(std::span<const std::size_t> selected) override;
  void FormDropFiles(std::span<const std::string> paths) override;
  void Label6Click() override;
  void Label11Click() override;
  void WMHotKey(std::uintptr_t id) override;
  void V1Click() override { form1_core_->V1Click(); }
  void Q1Click() override { form1_core_->Q1Click(); }
  void TrayIcon1Restore() override { form1_core_->TrayIcon1Restore(); }
  void Close() override { form1_core_->Close(); }
  std::intptr_t WMEndSession(std::uint32_t message, std::uintptr_t w_param) override {
    return form1_core_->WMEndSession(message, w_param);
  }

  // desktop::HotkeyActions
  void PlaceAtCaret() override { form2_->form().PlaceAtCaret(); }
  void PasteReceived() override;
  void HandOver() override;
  void CutAndHandOver() override;
  void SendFile() override;

  // files::SettingsObserver
  void CandidateWindowSizeChange(int width, int height) override;

  // app::StateFiles
  void LoadStartupFiles() override;
  void SaveStateFiles() override;

  // app::StartupHotkeys (RegKeyClick and NWKeySetClick are the buttons' own)
  void UnregisterAll() override { hotkeys_.UnregisterAll(); }

  // app::LanEndpointControl
  void CloseEndpoint() override;

  // app::CandidateWindowStartup
  void Show() override;
  void StartHideTimer() override;

  void CreateWindows();
  // LAN sharing over the windows just made: the endpoint, the receive side, the four hotkeys.
  void ConnectLan();
  void ConnectTimers();
  // The candidate window's current size into the settings, just before they are saved.
  void TakeCandidateWindowSize();

  MemoErrorRecord record_;
  HandlerGuard guard_{record_};
  files::Settings settings_;
  lookup::PhraseTable main_table_ = lookup::PhraseTable::OneEmptyRow();
  MessageWindow messages_{guard_};
  Win32Desktop desktop_;
  Win32Dialogs dialogs_;
  lookup::SystemClock clock_;
  Win32RegionalFormat regional_format_;
  desktop::Hotkeys hotkeys_{desktop_, settings_};
  desktop::ClipboardRelay inserter_{desktop_, messages_, settings_, record_};

  SystemSteadyClock steady_clock_;
  webwords::WebWordFiles web_words_;
  // Before the LAN parts below, so that it goes after them: its receive handler points there.
  WinsockUdpEndpoint endpoint_{guard_};
  Win32HostNetwork host_network_;
  lan::LanDesktopAdapter lan_desktop_{desktop_};

  std::unique_ptr<MainWindow> form1_;
  std::unique_ptr<CandidateWindow> form2_;
  std::unique_ptr<TSendForm> send_form_;
  std::unique_ptr<app::TForm1> form1_core_;
  std::unique_ptr<LanWindows> lan_view_;
  std::unique_ptr<lan::LanService> lan_service_;
  std::unique_ptr<lan::Receiver> receiver_;
  std::unique_ptr<lan::FileSender> file_sender_;
  std::unique_ptr<lan::LanActions> lan_actions_;
};

}  // namespace talvorine::win32
