#pragma once

#include <cstdint>

#include "desktop/desktop.h"
#include "files/settings.h"

namespace talvorine::desktop {

// What the hotkeys do, one action per id; the application wires these to the candidate window
// and to the LAN actions.
class HotkeyActions {
 public:
  virtual ~HotkeyActions() = default;
  virtual void PlaceAtCaret() = 0;    // HK_START: open the candidate window at the caret
  virtual void PasteReceived() = 0;   // HK_GET: insert the PasteBuffer
  virtual void HandOver() = 0;        // HK_SET: the clipboard text to the PasteBuffer and the LAN
  virtual void CutAndHandOver() = 0;  // HK_SEND: cut everything, then the hand-over keys
  virtual void SendFile() = 0;        // HK_FSEND: choose a file and send it to the LAN
};

// Registers and unregisters the five hotkeys for the main window with the bindings the settings
// hold at that moment. The desktop keeps which are registered; this keeps nothing.
class Hotkeys {
 public:
  Hotkeys(Desktop& desktop, const files::Settings& settings);

  // The buttons RegKey and UnRegKey: the start hotkey.
  void RegKeyClick();
  void UnRegKeyClick();
  // The buttons NWKeySet and NWKeyUnset: the four LAN hotkeys.
  void NWKeySetClick();
  void NWKeyUnsetClick();

  // The start-up registrations: the start hotkey when CkAutoKey is on, then the LAN hotkeys
  // when CkNwLoadKey is on, each exactly as its button does it.
  void RegisterAtStartup();
  // The close sequence: ids 0 to 4, in order, without a message.
  void UnregisterAll();

 private:
  // Registers one id; a combination that is taken shows the id's failure box.
  void Register(int id);

  Desktop& desktop_;
  const files::Settings& settings_;
};

// The main window's WM_HOTKEY: the id (wParam) chooses the action; other ids do nothing.
void WMHotKey(std::uintptr_t id, HotkeyActions& actions);

}  // namespace talvorine::desktop
