#include "app/win32/program.h"

#include <memory>

#include "desktop/hotkey_binding.h"
#include "files/file_buttons.h"
#include "files/state_files.h"

namespace talvorine::win32 {

Program::Program()
    : web_words_(settings_, messages_, dialogs_, std::make_shared<WinHttpClient>(), messages_) {}

Program::~Program() {
  // The record's memo goes with the main window; lines added after that stay in memory.
  record_.Detach();
}

int Program::Run() {
  CreateWindows();
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
  form1_core_ = std::make_unique<app::TForm1>(app::MainWindowParts{
      settings_, messages_, desktop_, record_, guard_, *form1_, *this, *this, *this, *this});
  form1_core_->FormCreate();
}

void Program::ConnectTimers() {
  messages_.SetTickHandler(TimerId::kForm1Timer1, [this] { form1_core_->Timer1Timer(); });
  messages_.SetTickHandler(TimerId::kTmRecovCB, [this] { inserter_.TmRecovCBTimer(); });
  messages_.SetTickHandler(TimerId::kForm1Timer3, [this] { web_words_.Timer3Timer(); });
  form2_->ConnectTimers(messages_);
  // Running from the creation of the window: the start-up, and the web refresh period.
  messages_.Start(TimerId::kForm1Timer1);
  messages_.Start(TimerId::kForm1Timer3);
}

// ----- buttons ---------------------------------------------------------------------------------

void Program::Button1Click() {
  files::Button1Click(dialogs_, settings_, *this);
  form1_->RefreshFromSettings();
}

void Program::Button2Click() {
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

// LAN sharing has no Winsock endpoint in this build yet: its four hotkeys do nothing, and
// there is no endpoint to close.
void Program::PasteReceived() {}

void Program::HandOver() {}

void Program::CutAndHandOver() {}

void Program::SendFile() {}

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
  files::SaveStateFiles(settings_, main_table_);
}

void Program::CloseEndpoint() {}

void Program::Show() {
  form2_->form().Show();
}

void Program::StartHideTimer() {
  form2_->form().StartHideTimer();
}

}  // namespace talvorine::win32
