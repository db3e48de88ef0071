#pragma once

#include "files/dialogs.h"
#include "files/settings.h"
#include "files/settings_file.h"
#include "lookup/phrase_table.h"

namespace talvorine::files {

// The four buttons of the settings and phrase list groups. Each asks for a file with its dialog;
// a cancelled dialog does nothing, and an Error of the load or save passes to the caller.

// "設定の読込": SetLoadDlg, then LoadSettings.
void Button1Click(Dialogs& dialogs, Settings& settings, SettingsObserver& observer);
// "設定の保存": SaveSetDlg, then SaveSettings.
void Button2Click(Dialogs& dialogs, const Settings& settings);
// "語句リストの読込": WordLoadDlg, then LoadPhraseFile into the main table.
void Button3Click(Dialogs& dialogs, lookup::PhraseTable& main_table);
// "語句リストの保存": SaveWordDlg, then SavePhraseFile of the main table.
void Button4Click(Dialogs& dialogs, const lookup::PhraseTable& main_table);

}  // namespace talvorine::files
