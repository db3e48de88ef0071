#include "app/main_window.h"

#include "app/error_log.h"

namespace talvorine::app {

TForm1::TForm1(const MainWindowParts& parts) : parts_(parts) {}

void TForm1::FormCreate() {
  parts_.view.FillLanKeyLists();
  parts_.record.AddLine(kVersionLabel);
  parts_.view.AcceptDroppedFiles();
}

void TForm1::Timer1Timer() {
  parts_.candidate_window.Show();
  parts_.timers.Stop(TimerId::kForm1Timer1);
  parts_.state_files.LoadStartupFiles();
  parts_.view.RefreshFromSettings();
  // The switches just loaded decide the rest.
  if (parts_.settings.CkAutoKey) {
    parts_.hotkeys.RegKeyClick();
  }
  if (parts_.settings.CkNwLoadKey) {
    parts_.hotkeys.NWKeySetClick();
  }
  if (!parts_.settings.CkAutoMin) {
    parts_.view.ShowMainWindow();
    parts_.desktop.ProcessPendingMessages();
  }
  parts_.desktop.ProcessPendingMessages();
  parts_.candidate_window.StartHideTimer();
}

void TForm1::V1Click() {
  parts_.view.ShowMainWindow();
  parts_.view.ShowInFront();
  parts_.view.RestoreIfMinimized();
}

void TForm1::TrayIcon1Restore() {
  V1Click();
}

void TForm1::Q1Click() {
  parts_.state_files.SaveStateFiles();
  // A file send under way lets messages through, this one included, and would otherwise go on
  // to the file's end long after the window has gone; with LAN sharing off it stops at its next
  // chunk. The state files just saved keep LAN sharing as it was.
  parts_.settings.CkNWUse = false;
  parts_.view.EndApplication();
}

void TForm1::FormClose() {
  parts_.timers.Stop(TimerId::kForm1Timer2);
  parts_.settings.CkNWUse = false;
  parts_.view.RefreshCkNWUse();
  try {
    parts_.view.HideTrayIcon();
    parts_.lan.CloseEndpoint();
  } catch (...) {
    // Nothing the user could do about an icon or a socket that will not go; the state must
    // still be saved.
  }
  parts_.hotkeys.UnregisterAll();
  parts_.state_files.SaveStateFiles();
  WriteErrorLog(parts_.record);
}

void TForm1::Close() {
  FormClose();
  parts_.view.EndApplication();
}

std::intptr_t TForm1::WMEndSession(std::uint32_t message, std::uintptr_t w_param) {
  switch (message) {
    case kWmQueryEndSession:
    case kWmEndSessionAlias:
      return 1;
    case kWmEndSession:
      if (w_param == 0) {
        return 0;
      }
      // The answer stays 1 whatever the close does: a shutdown is never refused.
      parts_.guard.Run([this] { Close(); });
      return 1;
    default:
      return 0;
  }
}

}  // namespace talvorine::app
