#include "app/win32/program.h"

#include <memory>

#include "desktop/hotkey_binding.h"
#include "files/file_buttons.h"
#include "files/state_files.h"

namespace talvorine::win32 {

Program::Program()
    : web_words_(settings_, messages_, dialogs_, std::make_shared<WinHttpClient>(), messages_,
                 record_, steady_clock_) {}

Program::~Program() {
  // No datagram may reach the receiver while the LAN parts go.
  endpoint_.SetReceiveHandler({});
  endpoint_.Close();
  // The record's memo goes with the main window; lines added after that stay in memory.
  record_.Detach();
}

int Program::Run() {
  CreateWindows();
  ConnectLan();
  ConnectTimers();
  const int exit_code = RunMessageLoop();
  // A refresh still reading a slow server must not hold the end of the program.
  web_words_.Shutdown();
  return exit_code;
}

void Program::CreateWindows() {
  form1_ = std::make_unique<MainWindow>(guard_, MainWindowModel{settings_, main_table_, *this});
  record_.Attach(&form1_->ErrorRecordMemo());
  // Lines added after the window has gone (while the program winds up) stay in memory.
  form1_->on_destroy = [this] { record_.Detach(); };
  desktop_.SetMainWindow(form1_->hwnd());
  dialogs_.SetOwner(form1_->hwnd());
  form2_ = std::make_unique<CandidateWindow>(
      guard_, form1_->hwnd(),
      desktop::CandidateWindowParts{desktop_, messages_, inserter_, settings_, main_table_,
                                    web_words_.InetWordList(), clock_, regional_format_});
  send_form_ = std::make_unique<TSendForm>(guard_, form1_->hwnd());
  form1_core_ = std::make_unique<app::TForm1>(app::MainWindowParts{
      settings_, messages_, desktop_, record_, guard_, *form1_, *this, *this, *this, *this});
  form1_core_->FormCreate();
}

void Program::ConnectLan() {
  lan_view_ = std::make_unique<LanWindows>(*form1_, *send_form_);
  lan_service_ = std::make_unique<lan::LanService>(settings_, endpoint_, host_network_, *lan_view_);
  receiver_ = std::make_unique<lan::Receiver>(settings_, host_network_, lan_desktop_, dialogs_,
                                              *lan_view_, record_);
  file_sender_ =
      std::make_unique<lan::FileSender>(*lan_service_, lan_desktop_, dialogs_, *lan_view_, record_);
  lan_actions_ = std::make_unique<lan::LanActions>(*lan_service_, *receiver_, *file_sender_,
                                                   desktop_, inserter_);
  // The endpoint's window enters through the handler guard; the receiver itself never raises.
  endpoint_.SetReceiveHandler([this](std::string_view datagram, std::string_view source) {
    receiver_->IdUDPServer1UDPRead(datagram, source);
  });
}

void Program::ConnectTimers() {
  messages_.SetTickHandler(TimerId::kForm1Timer1, [this] { form1_core_->Timer1Timer(); });
  // A failure to open the endpoint leaves the tick through the guard: one record line a tick.
  messages_.SetTickHandler(TimerId::kForm1Timer2, [this] { lan_service_->Timer2Timer(); });
  messages_.SetTickHandler(TimerId::kTmRecovCB, [this] { inserter_.TmRecovCBTimer(); });
  messages_.SetTickHandler(TimerId::kForm1Timer3, [this] { web_words_.Timer3Timer(); });
  form2_->ConnectTimers(messages_);
  // Running from the creation of the window: the start-up, the LAN poll (until the close
  // sequence stops it) and the web refresh period.
  messages_.Start(TimerId::kForm1Timer1);
  messages_.Start(TimerId::kForm1Timer2);
  messages_.Start(TimerId::kForm1Timer3);
}

// ----- buttons ---------------------------------------------------------------------------------

void Program::Button1Click() {
  files::Button1Click(dialogs_, settings_, *this);
  form1_->RefreshFromSettings();
}

void Program::Button2Click() {
  TakeCandidateWindowSize();
  files::Button2Click(dialogs_, settings_);
}

void Program::Button3Click() {
  files::Button3Click(dialogs_, main_table_);
  form1_->RefreshMainTable();
}

void Program::Button4Click() {
  files::Button4Click(dialogs_, main_table_);
}

void Program::ReloadTimeChange() {
  web_words_.ReloadTimeChange();
}

void Program::Button5Click() {
  web_words_.Button5Click();
}

void Program::Button6Click(std::span<const std::size_t> selected) {
  web_words_.Button6Click(selected);
}

void Program::FormDropFiles(std::span<const std::string> paths) {
  web_words_.FormDropFiles(paths);
  form1_->RefreshWordFiles();
}

void Program::Label6Click() {
  desktop_.ShellOpen("mailto:" + std::string(kMakerMailAddress));
}

void Program::Label11Click() {
  desktop_.ShellOpen(kMakerHomePage);
}

void Program::WMHotKey(std::uintptr_t id) {
  desktop::WMHotKey(id, *this);
}

void Program::PasteReceived() {
  lan_actions_->Paste();
}

void Program::HandOver() {
  lan_actions_->HandOver();
}

void Program::CutAndHandOver() {
  lan_actions_->CutAndHandOver();
}

void Program::SendFile() {
  lan_actions_->SendFile();
}

// ----- what the core sequences call ------------------------------------------------------------

void Program::CandidateWindowSizeChange(int /*width*/, int /*height*/) {
  // The settings hold the size just loaded; the window takes it from there.
  if (form2_) {
    form2_->form().ApplySettingsSize();
  }
}

void Program::LoadStartupFiles() {
  files::LoadStartupFiles(settings_, main_table_, *this);
}

void Program::SaveStateFiles() {
  TakeCandidateWindowSize();
  files::SaveStateFiles(settings_, main_table_);
}

void Program::TakeCandidateWindowSize() {
  // A save writes the window's size as it is, at 96 DPI, not the size last loaded.
  if (form2_) {
    const desktop::Size size = form2_->form().SizeAtBaseDpi();
    settings_.Form2Width = size.width;
    settings_.Form2Height = size.height;
  }
}

void Program::CloseEndpoint() {
  endpoint_.Close();
}

void Program::Show() {
  form2_->form().Show();
}

void Program::StartHideTimer() {
  form2_->form().StartHideTimer();
}

}  // namespace talvorine::win32
