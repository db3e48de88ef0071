#include "files/file_buttons.h"

#include "files/phrase_file.h"

namespace talvorine::files {

void Button1Click(Dialogs& dialogs, Settings& settings, SettingsObserver& observer) {
  if (const auto path = dialogs.RunFileDialog(FileDialogId::kSetLoadDlg)) {
    LoadSettings(*path, settings, observer);
  }
}

void Button2Click(Dialogs& dialogs, const Settings& settings) {
  if (const auto path = dialogs.RunFileDialog(FileDialogId::kSaveSetDlg)) {
    SaveSettings(*path, settings);
  }
}

void Button3Click(Dialogs& dialogs, lookup::PhraseTable& main_table) {
  if (const auto path = dialogs.RunFileDialog(FileDialogId::kWordLoadDlg)) {
    LoadPhraseFile(*path, main_table);
  }
}

void Button4Click(Dialogs& dialogs, const lookup::PhraseTable& main_table) {
  if (const auto path = dialogs.RunFileDialog(FileDialogId::kSaveWordDlg)) {
    SavePhraseFile(*path, main_table);
  }
}

}  // namespace talvorine::files
