#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "desktop/screen_geometry.h"

namespace talvorine::desktop {

// Virtual-key codes the core names (the Win32 VK_ values).
inline constexpr std::uint16_t kVkBack = 0x08;
inline constexpr std::uint16_t kVkTab = 0x09;
inline constexpr std::uint16_t kVkReturn = 0x0D;
inline constexpr std::uint16_t kVkShift = 0x10;
inline constexpr std::uint16_t kVkControl = 0x11;
inline constexpr std::uint16_t kVkMenu = 0x12;  // Alt
inline constexpr std::uint16_t kVkCapital = 0x14;
inline constexpr std::uint16_t kVkEscape = 0x1B;
inline constexpr std::uint16_t kVkSpace = 0x20;
inline constexpr std::uint16_t kVkV = 0x56;

// RegisterHotKey modifier flags.
inline constexpr std::uint32_t kModAlt = 1;
inline constexpr std::uint32_t kModControl = 2;
inline constexpr std::uint32_t kModShift = 4;
// A held combination reports one press, not one for every key repeat (Windows 7 and later).
inline constexpr std::uint32_t kModNoRepeat = 0x4000;

enum class KeyDirection { kDown, kUp };

enum class MessageBoxStyle {
  kOk,                // OK button, no icon
  kOkInformation,     // OK button, information icon
  kYesNoInformation,  // Yes and No buttons, information icon
  kYesNoWarningNo,    // Yes and No buttons, warning icon, No as the default button
};

enum class MessageBoxResult { kOk, kYes, kNo };

// A copy of what the clipboard held at one moment, made by the desktop and handed back to it;
// the core only holds it.
class ClipboardSnapshot {
 public:
  virtual ~ClipboardSnapshot() = default;
  // Whether formats other than text were left out because the whole was larger than
  // kClipboardSnapshotLimit.
  virtual bool KeptTextOnly() const = 0;
};

// What a clipboard snapshot copies.
enum class ClipboardCopy {
  kText,        // the text forms only
  kEverything,  // every format that can be copied, up to kClipboardSnapshotLimit in all
};

// Beyond this many bytes in all, a snapshot keeps the text forms only.
inline constexpr std::size_t kClipboardSnapshotLimit = std::size_t{64} * 1024 * 1024;

// What the core asks of the desktop. Text is cp932 throughout.
class Desktop {
 public:
  virtual ~Desktop() = default;

  // System-wide hotkeys for the main window; false when the combination is taken.
  virtual bool RegisterHotKey(int id, std::uint32_t modifiers, std::uint16_t virtual_key) = 0;
  virtual void UnregisterHotKey(int id) = 0;

  // One synthesized key event (keybd_event with scan code 0 and extra information 0).
  virtual void KeyEvent(std::uint16_t virtual_key, KeyDirection direction) = 0;
  // The key-down bit of the key's state (GetKeyState is negative).
  virtual bool IsKeyDown(std::uint16_t virtual_key) = 0;

  // Clipboard text. Each of these raises Error("クリップボードを開くことができません") when
  // the clipboard cannot be opened.
  virtual bool ClipboardHasText() = 0;
  virtual std::string ClipboardText() = 0;  // empty when the clipboard holds no text
  virtual void ClearClipboard() = 0;
  // Puts a text there for a paste only: it is marked to stay out of clipboard history, the cloud
  // clipboard and clipboard monitors.
  virtual void SetClipboardText(std::string_view text) = 0;
  // Copies the clipboard, in its own order of formats.
  virtual std::unique_ptr<ClipboardSnapshot> SaveClipboard(ClipboardCopy what) = 0;
  // Puts every format of the snapshot back in one opening of the clipboard, marked to make no
  // second entry in clipboard history; an empty snapshot leaves the clipboard empty.
  virtual void RestoreClipboard(const ClipboardSnapshot& snapshot) = 0;

  // ShowWindow(GetForegroundWindow(), SW_SHOW).
  virtual void ShowForegroundWindow() = 0;
  // The application's most recently active pop-up comes to the foreground.
  virtual void BringApplicationToFront() = 0;

  // A modal message box owned by the main window.
  virtual MessageBoxResult ShowMessageBox(std::string_view text, std::string_view caption,
                                          MessageBoxStyle style) = 0;

  // Opens a document or link with its associated program ("open" verb); failures are ignored.
  virtual void ShellOpen(std::string_view target) = 0;

  // Windows and input focus, for placing the candidate window and for handing the keyboard to
  // the program a paste goes to. None of these reports a failure: a call that fails leaves the
  // result it would give for no window (0, or the point it was given).
  virtual WindowHandle MainWindow() = 0;
  virtual void HideMainWindow() = 0;
  virtual WindowHandle ForegroundWindow() = 0;
  // The child at the top of the window's z-order (GetWindow with GW_CHILD).
  virtual WindowHandle FirstChildWindow(WindowHandle window) = 0;
  // Whether the window belongs to this program.
  virtual bool IsOwnWindow(WindowHandle window) = 0;
  virtual std::uint32_t WindowThreadId(WindowHandle window) = 0;
  virtual void AttachThreadInput(std::uint32_t from_thread, std::uint32_t to_thread,
                                 bool attach) = 0;
  // The foreground lock time-out, in milliseconds; setting it is not written to the profile.
  virtual std::uint32_t ForegroundLockTimeout() = 0;
  virtual void SetForegroundLockTimeout(std::uint32_t milliseconds) = 0;
  virtual void SetForegroundWindow(WindowHandle window) = 0;
  // Where the user types, as one source sees it (see CaretSource), or nothing when that source
  // knows of no caret. The system caret is read from the thread of `target`, attached to it.
  virtual std::optional<CaretReading> ReadCaret(CaretSource source, WindowHandle target) = 0;
  // A point in the window's client coordinates, in physical screen pixels; the point itself
  // for no window.
  virtual Point ClientToScreen(WindowHandle window, Point point) = 0;
  // The DPI a window works in: the monitor's for a per-monitor aware program, the system's at
  // its start for a system-aware one, 96 for one that knows nothing of DPI.
  virtual unsigned WindowDpi(WindowHandle window) = 0;
  // The monitor that holds the point, or the nearest one.
  virtual MonitorArea MonitorAt(Point point) = 0;

  // Blocks the main thread.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // Handles the pending messages of the main thread without waiting for new ones.
  virtual void ProcessPendingMessages() = 0;
};

}  // namespace talvorine::desktop
