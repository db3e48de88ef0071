// Reads arbitrary bytes as a settings file, loads the settings from it, writes them back into it
// and loads them again: the second load must give what the first gave.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/ini_file.h"
#include "files/ini_value.h"
#include "files/settings.h"
#include "files/settings_file.h"

namespace {

class QuietObserver : public talvorine::files::SettingsObserver {
 public:
  void ReloadTimeChange() override {}
  void CandidateWindowSizeChange(int, int) override {}
};

void Check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace talvorine::files;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  IniFile ini(bytes);

  // Rewriting the file changes nothing but its line ends.
  const std::string text = ini.Text();
  Check(IniFile(text).Text() == text);

  QuietObserver observer;
  Settings first;
  LoadSettings(ini, first, observer);
  Check(first.InetWordFiles.size() <= kMaxInetWordFiles);
  for (const std::string& location : first.InetWordFiles) {
    Check(location.size() <= kIniValueLimit);
  }

  WriteSettings(ini, first);
  Settings second;
  LoadSettings(IniFile(ini.Text()), second, observer);
  // A location is written as it was read, so one that still looks quoted or padded loses that
  // on the next reading; every other value comes back as it was.
  Check(second.InetWordFiles.size() == first.InetWordFiles.size());
  second.InetWordFiles = first.InetWordFiles;
  Check(second == first);
  return 0;
}
