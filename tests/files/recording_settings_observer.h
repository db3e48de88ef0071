#pragma once

#include <string>
#include <vector>

#include "files/settings_file.h"

namespace talvorine::files::testing {

// Keeps what loading told, as lines such as "ReloadTimeChange" and "size 116x225".
class RecordingSettingsObserver : public SettingsObserver {
 public:
  void ReloadTimeChange() override { calls.push_back("ReloadTimeChange"); }
  void CandidateWindowSizeChange(int width, int height) override {
    calls.push_back("size " + std::to_string(width) + "x" + std::to_string(height));
  }

  std::vector<std::string> calls;
};

}  // namespace talvorine::files::testing
