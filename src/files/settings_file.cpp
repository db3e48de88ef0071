#include "files/settings_file.h"

#include <algorithm>
#include <optional>
#include <string>

#include "common/error.h"
#include "desktop/hotkey_binding.h"
#include "files/ini_file.h"

namespace talvorine::files {

namespace {

constexpr std::string_view kCannotWrite = "%s に書き込めません";

constexpr int kModifierCount = static_cast<int>(desktop::kModifierItems.size());
constexpr int kKeyCount = static_cast<int>(std::tuple_size_v<decltype(desktop::kKeyItems)>);

// A combo box selects the item at an index inside its list, and nothing otherwise.
int ComboIndex(int index, int item_count) {
  return index >= 0 && index < item_count ? index : -1;
}

int ReadCombo(const IniFile& ini, std::string_view section, std::string_view key, int default_value,
              int item_count) {
  return ComboIndex(ini.ReadInteger(section, key, default_value), item_count);
}

int ReadSpin(const IniFile& ini, std::string_view section, std::string_view key, int default_value,
             SpinRange range) {
  return range.Clamp(ini.ReadInteger(section, key, default_value));
}

// "File%04d": File0000 to File9999, then File10000 and on.
std::string LocationKey(std::size_t index) {
  std::string digits = std::to_string(index);
  if (digits.size() < 4) {
    digits.insert(0, 4 - digits.size(), '0');
  }
  return "File" + digits;
}

}  // namespace

void LoadSettings(std::string_view path, Settings& settings, SettingsObserver& observer) {
  LoadSettings(ReadIniFile(path).value_or(IniFile()), settings, observer);
}

void LoadSettings(const IniFile& ini, Settings& settings, SettingsObserver& observer) {
  const Settings defaults;
  Settings& s = settings;
  s.Metakey = ReadCombo(ini, "Key", "MetaKey", defaults.Metakey, kModifierCount);
  s.Key = ReadCombo(ini, "Key", "Key", defaults.Key, kKeyCount);
  s.CkAutoMin = ini.ReadBool("Config", "AutoMinWindow", defaults.CkAutoMin);
  s.CkAutoKey = ini.ReadBool("Config", "AutoKeySet", defaults.CkAutoKey);
  s.Form2Width = ini.ReadInteger("Select", "Width", defaults.Form2Width);
  s.Form2Height = ini.ReadInteger("Select", "Height", defaults.Form2Height);
  observer.CandidateWindowSizeChange(s.Form2Width, s.Form2Height);
  s.CkAutoResult = ini.ReadBool("Select", "AutoResult", defaults.CkAutoResult);
  s.CkRecovCB = ini.ReadBool("Config", "AutoRecovCB", defaults.CkRecovCB);
  s.CkNWUse = ini.ReadBool("Network", "UseNetwork", defaults.CkNWUse);
  s.Metakey_set = ReadCombo(ini, "Network", "MetaKey_set", defaults.Metakey_set, kModifierCount);
  s.Key_set = ReadCombo(ini, "Network", "Key_set", defaults.Key_set, kKeyCount);
  s.Metakey_get = ReadCombo(ini, "Network", "MetaKey_get", defaults.Metakey_get, kModifierCount);
  s.Key_get = ReadCombo(ini, "Network", "Key_get", defaults.Key_get, kKeyCount);
  s.Metakey_send_set =
      ReadCombo(ini, "Network", "MetaKey_send", defaults.Metakey_send_set, kModifierCount);
  s.Key_send_set = ReadCombo(ini, "Network", "Key_send", defaults.Key_send_set, kKeyCount);
  s.Metakey_fsend_set =
      ReadCombo(ini, "Network", "MetaKey_fsend", defaults.Metakey_fsend_set, kModifierCount);
  s.Key_fsend_set = ReadCombo(ini, "Network", "Key_fsend", defaults.Key_fsend_set, kKeyCount);
  s.CkNwLoadKey = ini.ReadBool("Network", "AutoNwKeySet", defaults.CkNwLoadKey);
  s.NWChannel = ReadSpin(ini, "Network", "CH", defaults.NWChannel, kNWChannelRange);

  const int reload_time =
      ReadSpin(ini, "Extend", "ReloadFreq", defaults.ReloadTime, kReloadTimeRange);
  if (reload_time != s.ReloadTime) {
    s.ReloadTime = reload_time;
    observer.ReloadTimeChange();
  }
  const int window_wait =
      ReadSpin(ini, "Extend", "WindowWait", defaults.WindowWait, kWindowWaitRange);
  if (window_wait != s.WindowWait) {
    s.WindowWait = window_wait;
    observer.ReloadTimeChange();
  }

  const int total = ini.ReadInteger("Extend", "Total", 0);
  const size_t count = std::min(static_cast<size_t>(std::max(total, 0)), kMaxInetWordFiles);
  s.InetWordFiles.clear();
  for (size_t i = 0; i < count; ++i) {
    s.InetWordFiles.push_back(ini.ReadString("Extend", LocationKey(i), ""));
  }
}

void SaveSettings(std::string_view path, const Settings& settings) {
  std::optional<IniFile> ini = ReadIniFile(path);
  if (!ini) {
    // Writing over a file we could not read would lose every line of it we do not write.
    throw Error(FormatMessageText(kCannotWrite, path));
  }
  WriteSettings(*ini, settings);
  if (!WriteIniFile(path, *ini)) {
    throw Error(FormatMessageText(kCannotWrite, path));
  }
}

void WriteSettings(IniFile& ini, const Settings& settings) {
  const Settings& s = settings;
  ini.WriteInteger("Key", "MetaKey", ComboIndex(s.Metakey, kModifierCount));
  ini.WriteInteger("Key", "Key", ComboIndex(s.Key, kKeyCount));
  ini.WriteBool("Config", "AutoMinWindow", s.CkAutoMin);
  ini.WriteBool("Config", "AutoKeySet", s.CkAutoKey);
  ini.WriteBool("Config", "AutoRecovCB", s.CkRecovCB);
  ini.WriteInteger("Select", "Width", s.Form2Width);
  ini.WriteInteger("Select", "Height", s.Form2Height);
  ini.WriteBool("Select", "AutoResult", s.CkAutoResult);
  ini.WriteBool("Network", "UseNetwork", s.CkNWUse);
  ini.WriteInteger("Network", "MetaKey_set", ComboIndex(s.Metakey_set, kModifierCount));
  ini.WriteInteger("Network", "Key_set", ComboIndex(s.Key_set, kKeyCount));
  ini.WriteInteger("Network", "MetaKey_get", ComboIndex(s.Metakey_get, kModifierCount));
  ini.WriteInteger("Network", "Key_get", ComboIndex(s.Key_get, kKeyCount));
  ini.WriteInteger("Network", "MetaKey_send", ComboIndex(s.Metakey_send_set, kModifierCount));
  ini.WriteInteger("Network", "Key_send", ComboIndex(s.Key_send_set, kKeyCount));
  ini.WriteInteger("Network", "MetaKey_fsend", ComboIndex(s.Metakey_fsend_set, kModifierCount));
  ini.WriteInteger("Network", "Key_fsend", ComboIndex(s.Key_fsend_set, kKeyCount));
  ini.WriteBool("Network", "AutoNwKeySet", s.CkNwLoadKey);
  ini.WriteInteger("Network", "CH", s.NWChannel);
  ini.WriteInteger("Extend", "Total", static_cast<int>(s.InetWordFiles.size()));
  ini.WriteInteger("Extend", "ReloadFreq", s.ReloadTime);
  ini.WriteInteger("Extend", "WindowWait", s.WindowWait);
  for (size_t i = 0; i < s.InetWordFiles.size(); ++i) {
    ini.WriteString("Extend", LocationKey(i), s.InetWordFiles[i]);
  }
}

}  // namespace talvorine::files
