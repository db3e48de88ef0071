#pragma once

#include <string_view>

#include "files/settings.h"
#include "files/settings_file.h"
#include "lookup/phrase_table.h"

namespace talvorine::files {

// The files that carry the program's state across runs, named relative to the working directory.
inline constexpr std::string_view kLastSettingsFile = ".\\Last.tvs";
inline constexpr std::string_view kLastPhraseFile = ".\\Last.tvw";
inline constexpr std::string_view kAutoLoadSettingsFile = ".\\自動読込.tvs";
inline constexpr std::string_view kAutoLoadPhraseFile = ".\\自動読込.tvw";

// The four loads of start-up, in this order, each on its own so that a failure of one is
// passed over in silence and the next runs: settings from ".\Last.tvs", the main table from
// ".\Last.tvw", settings from ".\自動読込.tvs" when that file exists, the main table from
// ".\自動読込.tvw". A table file that cannot be read leaves the table as it was.
void LoadStartupFiles(Settings& settings, lookup::PhraseTable& main_table,
                      SettingsObserver& observer);

// Saves the settings to ".\Last.tvs" and then the main table to ".\Last.tvw". An Error of the
// first save passes to the caller and leaves the second undone.
void SaveStateFiles(const Settings& settings, const lookup::PhraseTable& main_table);

}  // namespace talvorine::files
