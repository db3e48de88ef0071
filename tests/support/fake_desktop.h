#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "desktop/desktop.h"
#include "support/fake_timers.h"

namespace talvorine::testing {

// A desktop that behaves like one: the clipboard holds text, the key-state table follows the
// synthesized key events, a hotkey combination can be registered once. Each part can be told to
// fail. Every call is also written to `log`, one readable line each, for sequence assertions.
class FakeDesktop : public desktop::Desktop {
 public:
  struct KeyEventRecord {
    std::uint16_t virtual_key;
    desktop::KeyDirection direction;
    bool operator==(const KeyEventRecord&) const = default;
  };
  struct MessageBoxRecord {
    std::string text;
    std::string caption;
    desktop::MessageBoxStyle style;
  };

  // With timers, Sleep moves their clock on (without ticks) and ProcessPendingMessages delivers
  // the ticks that are due, as on the real message loop.
  explicit FakeDesktop(FakeTimers* timers = nullptr) : timers_(timers) {
    windows[kMainWindow] = Window{kOwnThread, 0, true, {}};
  }

  bool RegisterHotKey(int id, std::uint32_t modifiers, std::uint16_t virtual_key) override;
  void UnregisterHotKey(int id) override;
  void KeyEvent(std::uint16_t virtual_key, desktop::KeyDirection direction) override;
  bool IsKeyDown(std::uint16_t virtual_key) override;
  bool ClipboardHasText() override;
  std::string ClipboardText() override;
  void ClearClipboard() override;
  void SetClipboardText(std::string_view text) override;
  std::unique_ptr<desktop::ClipboardSnapshot> SaveClipboard(desktop::ClipboardCopy what) override;
  void RestoreClipboard(const desktop::ClipboardSnapshot& snapshot) override;
  void ShowForegroundWindow() override;
  void BringApplicationToFront() override;
  desktop::MessageBoxResult ShowMessageBox(std::string_view text, std::string_view caption,
                                           desktop::MessageBoxStyle style) override;
  void ShellOpen(std::string_view target) override;
  desktop::WindowHandle MainWindow() override;
  void HideMainWindow() override;
  desktop::WindowHandle ForegroundWindow() override;
  desktop::WindowHandle FirstChildWindow(desktop::WindowHandle window) override;
  bool IsOwnWindow(desktop::WindowHandle window) override;
  std::uint32_t WindowThreadId(desktop::WindowHandle window) override;
  void AttachThreadInput(std::uint32_t from_thread, std::uint32_t to_thread, bool attach) override;
  std::uint32_t ForegroundLockTimeout() override;
  void SetForegroundLockTimeout(std::uint32_t milliseconds) override;
  void SetForegroundWindow(desktop::WindowHandle window) override;
  std::optional<desktop::CaretReading> ReadCaret(desktop::CaretSource source,
                                                 desktop::WindowHandle target) override;
  desktop::Point ClientToScreen(desktop::WindowHandle window, desktop::Point point) override;
  unsigned WindowDpi(desktop::WindowHandle window) override;
  desktop::MonitorArea MonitorAt(desktop::Point point) override;
  void Sleep(std::uint32_t milliseconds) override;
  void ProcessPendingMessages() override;

  // Test controls.
  void HoldKey(std::uint16_t virtual_key) { keys_down.insert(virtual_key); }
  void ReleaseKey(std::uint16_t virtual_key) { keys_down.erase(virtual_key); }
  // A combination that another program holds.
  void TakeCombination(std::uint32_t modifiers, std::uint16_t virtual_key) {
    taken_elsewhere.insert({modifiers, virtual_key});
  }
  // One format on the fake clipboard: its name and its bytes. The text is the format kText,
  // in cp932.
  struct ClipboardFormat {
    std::string name;
    std::string data;
    bool operator==(const ClipboardFormat&) const = default;
    friend void PrintTo(const ClipboardFormat& format, std::ostream* out) {
      *out << format.name << " (" << format.data.size() << " bytes)";
    }
  };
  static constexpr const char* kText = "text";
  // What SaveClipboard hands out: a copy of the formats.
  struct Snapshot : desktop::ClipboardSnapshot {
    std::vector<ClipboardFormat> formats;
    bool kept_text_only = false;
    bool KeptTextOnly() const override { return kept_text_only; }
  };
  void PutTextOnClipboard(std::string text) { clipboard = {{kText, std::move(text)}}; }
  // Puts something other than text on the clipboard (a picture): no text is there then.
  void PutPictureOnClipboard() { clipboard = {{"picture", "BM picture bytes"}}; }
  // The text on the clipboard, if any.
  std::optional<std::string> clipboard_text() const;
  // A window of the fake desktop: the thread that owns it, its first child, whether it is one of
  // this program's, where its client area starts on the screen (physical pixels) and the DPI
  // its program works at (0: per-monitor aware, the DPI of its monitor).
  struct Window {
    std::uint32_t thread_id = 0;
    desktop::WindowHandle first_child = 0;
    bool own = false;
    desktop::Point client_origin;
    unsigned dpi = 0;
  };
  static constexpr desktop::WindowHandle kMainWindow = 1;
  static constexpr std::uint32_t kOwnThread = 1;
  void AddWindow(desktop::WindowHandle handle, Window window) { windows[handle] = window; }
  // The key events since the last call to this, then forgets them.
  std::vector<KeyEventRecord> TakeKeyEvents();

  // State, readable and settable by tests.
  std::map<int, std::vector<std::pair<std::uint32_t, std::uint16_t>>> registered_hotkeys;
  std::set<std::pair<std::uint32_t, std::uint16_t>> taken_elsewhere;
  std::set<std::uint16_t> keys_down;
  std::vector<KeyEventRecord> key_events;
  // The clipboard's formats in their order.
  std::vector<ClipboardFormat> clipboard;
  bool clipboard_busy = false;  // every clipboard call raises the "cannot open" error
  // A snapshot of everything keeps the text only when the formats hold more bytes than this.
  std::size_t snapshot_limit = desktop::kClipboardSnapshotLimit;
  std::vector<MessageBoxRecord> message_boxes;
  std::deque<desktop::MessageBoxResult> message_box_answers;  // default: kOk / kNo
  std::vector<std::string> shell_opened;
  std::uint64_t slept_milliseconds = 0;
  int foreground_shown = 0;
  int brought_to_front = 0;
  int pending_message_pumps = 0;
  std::vector<std::string> log;
  // Windows: the main window (kMainWindow, thread kOwnThread) is there from the start.
  std::map<desktop::WindowHandle, Window> windows;
  desktop::WindowHandle foreground_window = 0;
  bool main_window_visible = false;
  std::uint32_t foreground_lock_timeout = 200000;
  // The system caret belongs to a window (caret_window, 0 for none) and its thread; another
  // thread reads it only while attached to that thread, and only when the target of the
  // reading belongs to it. Its place is in the client coordinates of caret_window.
  desktop::WindowHandle caret_window = 0;
  desktop::Point caret_pos;
  int caret_height = 16;
  std::set<std::pair<std::uint32_t, std::uint32_t>> attached_threads;
  // What the other sources report; a source missing here knows of no caret. The mouse pointer
  // is always somewhere.
  std::map<desktop::CaretSource, desktop::CaretReading> other_carets;
  desktop::Point mouse_pos{500, 400};
  // The monitors, the first the primary one; a point on none belongs to the nearest.
  std::vector<desktop::MonitorArea> monitors{
      {{0, 0, 1024, 768}, {0, 0, 1024, 768}, desktop::kBaseDpi}};
  // Runs inside Sleep after the clock has moved on (a window coming to the front meanwhile).
  std::function<void(std::uint32_t)> on_sleep;
  // Runs inside ProcessPendingMessages, after due timer ticks (a hotkey or a datagram arriving).
  std::function<void()> on_process_messages;
  // Runs inside ShowMessageBox before it returns (a datagram arriving while a box is open).
  std::function<void(const MessageBoxRecord&)> on_message_box;

 private:
  void ThrowIfClipboardBusy();

  FakeTimers* timers_;
};

}  // namespace talvorine::testing
