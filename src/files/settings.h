#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace talvorine::files {

// The range of a spin edit: a value outside it is brought to the nearest bound.
struct SpinRange {
  int min;
  int max;
  constexpr int Clamp(int value) const { return std::clamp(value, min, max); }
};

inline constexpr SpinRange kNWChannelRange{1, 50};
inline constexpr SpinRange kReloadTimeRange{1, 240};
inline constexpr SpinRange kWindowWaitRange{10, 2000};

// The value a spin edit holds for the text it shows: the number brought into its range, or the
// minimum for a text that is not a number.
int SpinEditValue(std::string_view shown_text, SpinRange range);

// The most web word-file locations a settings file can give. Each is fetched at every refresh;
// the bound keeps a damaged "Total" from filling the memory at start-up.
inline constexpr std::size_t kMaxInetWordFiles = 100000;

// Every value the settings file carries, in fields named after the controls that show them.
// A combo index counts from 0; -1 means no item is selected.
struct Settings {
  // Start hotkey binding.
  int Metakey = 0;  // "CTRL"
  int Key = 0;      // "SPACE"

  bool CkAutoMin = false;     // leave the main window hidden at start-up
  bool CkAutoKey = false;     // register the start hotkey at start-up
  bool CkRecovCB = false;     // restore the clipboard after every insertion
  bool CkAutoResult = false;  // confirm by itself when one candidate is left

  // Outer size of the candidate window, in pixels.
  int Form2Width = 116;
  int Form2Height = 225;

  // LAN sharing.
  bool CkNWUse = false;
  int Metakey_set = 0;        // hand-over: "CTRL"
  int Key_set = 10;           // "1"
  int Metakey_get = 0;        // receive: "CTRL"
  int Key_get = 12;           // "3"
  int Metakey_send_set = 0;   // copy-and-send: "CTRL"
  int Key_send_set = 14;      // "5"
  int Metakey_fsend_set = 0;  // file send: "CTRL"
  int Key_fsend_set = 15;     // "6"
  bool CkNwLoadKey = false;   // register the four LAN hotkeys at start-up
  int NWChannel = 1;          // 1..50; the port is 5504 + channel

  // Web word files.
  std::vector<std::string> InetWordFiles;
  int ReloadTime = 10;  // minutes, 1..240

  int WindowWait = 100;  // milliseconds, 10..2000

  // The broadcast address box; not part of the settings file, empty at every start.
  std::string IPaddr;

  bool operator==(const Settings&) const = default;
};

}  // namespace talvorine::files
