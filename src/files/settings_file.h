#pragma once

#include <string_view>

#include "files/ini_file.h"
#include "files/settings.h"

namespace talvorine::files {

// Who must react when settings are loaded, told without the core reaching into windows.
class SettingsObserver {
 public:
  virtual ~SettingsObserver() = default;
  // ReloadTime or WindowWait took a new value (once for each that changed): the refresh period
  // of the web word files follows ReloadTime.
  virtual void ReloadTimeChange() = 0;
  // The candidate window's outer size, told at every load.
  virtual void CandidateWindowSizeChange(int width, int height) = 0;
};

// Reads the settings file at path (cp932) into settings: every value the file gives, the
// default for every value it lacks or cannot be read as a number. Combo indexes outside their
// list become -1 (no selection); spin values are brought to the nearest bound of their range.
// A missing or unreadable file gives every default. Never fails.
void LoadSettings(std::string_view path, Settings& settings, SettingsObserver& observer);
// The same from a settings file in memory.
void LoadSettings(const IniFile& ini, Settings& settings, SettingsObserver& observer);

// Writes every value of settings into the settings file at path, keeping whatever else the file
// holds, and replaces the file in one step. Throws Error "%s に書き込めません" when the file cannot
// be read or written; the file is then as it was.
void SaveSettings(std::string_view path, const Settings& settings);
// Writes every value of settings into a settings file in memory, in the order of the file's
// table: keys of the start hotkey, switches, the candidate window, LAN, then the locations.
void WriteSettings(IniFile& ini, const Settings& settings);

}  // namespace talvorine::files
