#include "files/state_files.h"

#include <exception>

#include "common/system_file.h"
#include "files/phrase_file.h"

namespace talvorine::files {

namespace {

// Start-up goes on whatever one of its loads meets.
template <typename Step>
void Guarded(Step&& step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

}  // namespace

void LoadStartupFiles(Settings& settings, lookup::PhraseTable& main_table,
                      SettingsObserver& observer) {
  Guarded([&] { LoadSettings(kLastSettingsFile, settings, observer); });
  Guarded([&] { LoadPhraseFile(kLastPhraseFile, main_table); });
  Guarded([&] {
    if (SystemFileExists(kAutoLoadSettingsFile)) {
      LoadSettings(kAutoLoadSettingsFile, settings, observer);
    }
  });
  Guarded([&] { LoadPhraseFile(kAutoLoadPhraseFile, main_table); });
}

void SaveStateFiles(const Settings& settings, const lookup::PhraseTable& main_table) {
  SaveSettings(kLastSettingsFile, settings);
  SavePhraseFile(kLastPhraseFile, main_table);
}

}  // namespace talvorine::files
