#include "support/fake_desktop.h"

#include <cstdio>

#include "common/error.h"

namespace talvorine::testing {

using desktop::KeyDirection;
using desktop::MessageBoxResult;
using desktop::MessageBoxStyle;

namespace {

std::string Hex(unsigned value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%02X", value);
  return buffer;
}

}  // namespace

bool FakeDesktop::RegisterHotKey(int id, std::uint32_t modifiers, std::uint16_t virtual_key) {
  log.push_back("RegisterHotKey " + std::to_string(id) + " " + std::to_string(modifiers) + " " +
                Hex(virtual_key));
  // The system tells combinations apart by their keys: whether repeats are reported is not
  // part of the combination.
  const auto keys_of = [](std::pair<std::uint32_t, std::uint16_t> held) {
    return std::pair{held.first & ~desktop::kModNoRepeat, held.second};
  };
  const std::pair combination{modifiers, virtual_key};
  if (taken_elsewhere.count(keys_of(combination))) {
    return false;
  }
  for (const auto& [other_id, combinations] : registered_hotkeys) {
    for (const auto& held : combinations) {
      if (keys_of(held) == keys_of(combination)) {
        return false;
      }
    }
  }
  registered_hotkeys[id].push_back(combination);
  return true;
}

void FakeDesktop::UnregisterHotKey(int id) {
  log.push_back("UnregisterHotKey " + std::to_string(id));
  // Like the system, one call removes one registration of the id.
  auto it = registered_hotkeys.find(id);
  if (it != registered_hotkeys.end()) {
    it->second.erase(it->second.begin());
    if (it->second.empty()) {
      registered_hotkeys.erase(it);
    }
  }
}

void FakeDesktop::KeyEvent(std::uint16_t virtual_key, KeyDirection direction) {
  log.push_back("Key " + Hex(virtual_key) + (direction == KeyDirection::kDown ? " down" : " up"));
  key_events.push_back({virtual_key, direction});
  if (direction == KeyDirection::kDown) {
    keys_down.insert(virtual_key);
  } else {
    keys_down.erase(virtual_key);
  }
}

bool FakeDesktop::IsKeyDown(std::uint16_t virtual_key) {
  return keys_down.count(virtual_key) > 0;
}

void FakeDesktop::ThrowIfClipboardBusy() {
  if (clipboard_busy) {
    log.push_back("Clipboard busy");
    throw Error("クリップボードを開くことができません");
  }
}

bool FakeDesktop::ClipboardHasText() {
  ThrowIfClipboardBusy();
  return clipboard_text().has_value();
}

std::string FakeDesktop::ClipboardText() {
  ThrowIfClipboardBusy();
  log.push_back("ClipboardText");
  return clipboard_text().value_or(std::string());
}

void FakeDesktop::ClearClipboard() {
  ThrowIfClipboardBusy();
  log.push_back("ClearClipboard");
  clipboard.clear();
}

void FakeDesktop::SetClipboardText(std::string_view text) {
  ThrowIfClipboardBusy();
  log.push_back("SetClipboardText " + std::string(text));
  PutTextOnClipboard(std::string(text));
}

std::unique_ptr<desktop::ClipboardSnapshot> FakeDesktop::SaveClipboard(
    desktop::ClipboardCopy what) {
  ThrowIfClipboardBusy();
  const bool everything = what == desktop::ClipboardCopy::kEverything;
  log.push_back(everything ? "SaveClipboard everything" : "SaveClipboard text");
  auto snapshot = std::make_unique<Snapshot>();
  std::size_t total = 0;
  for (const ClipboardFormat& format : clipboard) {
    total += format.data.size();
  }
  snapshot->kept_text_only = everything && total > snapshot_limit;
  for (const ClipboardFormat& format : clipboard) {
    if (format.name == kText || (everything && !snapshot->kept_text_only)) {
      snapshot->formats.push_back(format);
    }
  }
  return snapshot;
}

void FakeDesktop::RestoreClipboard(const desktop::ClipboardSnapshot& snapshot) {
  ThrowIfClipboardBusy();
  log.push_back("RestoreClipboard");
  clipboard = dynamic_cast<const Snapshot&>(snapshot).formats;
}

std::optional<std::string> FakeDesktop::clipboard_text() const {
  for (const ClipboardFormat& format : clipboard) {
    if (format.name == kText) {
      return format.data;
    }
  }
  return std::nullopt;
}

void FakeDesktop::ShowForegroundWindow() {
  log.push_back("ShowForegroundWindow");
  ++foreground_shown;
}

void FakeDesktop::BringApplicationToFront() {
  log.push_back("BringApplicationToFront");
  ++brought_to_front;
}

MessageBoxResult FakeDesktop::ShowMessageBox(std::string_view text, std::string_view caption,
                                             MessageBoxStyle style) {
  log.push_back("MessageBox " + std::string(caption) + ": " + std::string(text));
  message_boxes.push_back({std::string(text), std::string(caption), style});
  if (on_message_box) {
    on_message_box(message_boxes.back());
  }
  if (!message_box_answers.empty()) {
    const MessageBoxResult answer = message_box_answers.front();
    message_box_answers.pop_front();
    return answer;
  }
  return style == MessageBoxStyle::kYesNoInformation || style == MessageBoxStyle::kYesNoWarningNo
             ? MessageBoxResult::kNo
             : MessageBoxResult::kOk;
}

void FakeDesktop::ShellOpen(std::string_view target) {
  log.push_back("ShellOpen " + std::string(target));
  shell_opened.emplace_back(target);
}

desktop::WindowHandle FakeDesktop::MainWindow() {
  return kMainWindow;
}

void FakeDesktop::HideMainWindow() {
  log.push_back("HideMainWindow");
  main_window_visible = false;
}

desktop::WindowHandle FakeDesktop::ForegroundWindow() {
  return foreground_window;
}

desktop::WindowHandle FakeDesktop::FirstChildWindow(desktop::WindowHandle window) {
  const auto it = windows.find(window);
  return it == windows.end() ? 0 : it->second.first_child;
}

bool FakeDesktop::IsOwnWindow(desktop::WindowHandle window) {
  const auto it = windows.find(window);
  return it != windows.end() && it->second.own;
}

std::uint32_t FakeDesktop::WindowThreadId(desktop::WindowHandle window) {
  const auto it = windows.find(window);
  return it == windows.end() ? 0 : it->second.thread_id;
}

void FakeDesktop::AttachThreadInput(std::uint32_t from_thread, std::uint32_t to_thread,
                                    bool attach) {
  log.push_back("AttachThreadInput " + std::to_string(from_thread) + " " +
                std::to_string(to_thread) + (attach ? " attach" : " detach"));
  // Like the system, a thread cannot attach to itself or to no thread.
  if (from_thread == 0 || to_thread == 0 || from_thread == to_thread) {
    return;
  }
  if (attach) {
    attached_threads.insert({from_thread, to_thread});
  } else {
    attached_threads.erase({from_thread, to_thread});
  }
}

std::uint32_t FakeDesktop::ForegroundLockTimeout() {
  log.push_back("ForegroundLockTimeout");
  return foreground_lock_timeout;
}

void FakeDesktop::SetForegroundLockTimeout(std::uint32_t milliseconds) {
  log.push_back("SetForegroundLockTimeout " + std::to_string(milliseconds));
  foreground_lock_timeout = milliseconds;
}

void FakeDesktop::SetForegroundWindow(desktop::WindowHandle window) {
  log.push_back("SetForegroundWindow " + std::to_string(window));
  if (window == 0) {
    return;
  }
  // A child window brings the window it belongs to to the front.
  for (const auto& [handle, parent] : windows) {
    if (parent.first_child == window) {
      window = handle;
      break;
    }
  }
  foreground_window = window;
}

std::optional<desktop::CaretReading> FakeDesktop::ReadCaret(desktop::CaretSource source,
                                                            desktop::WindowHandle target) {
  log.push_back("ReadCaret " + std::to_string(static_cast<int>(source)));
  switch (source) {
    case desktop::CaretSource::kSystemCaret: {
      const std::uint32_t thread = WindowThreadId(caret_window);
      const bool readable = thread == kOwnThread || attached_threads.count({kOwnThread, thread});
      if (caret_window == 0 || !readable || WindowThreadId(target) != thread) {
        return std::nullopt;
      }
      return desktop::CaretReading{
          {caret_pos.x, caret_pos.y, caret_pos.x + 1, caret_pos.y + caret_height}, caret_window};
    }
    case desktop::CaretSource::kMousePointer:
      return desktop::CaretReading{{mouse_pos.x, mouse_pos.y, mouse_pos.x, mouse_pos.y}, 0};
    case desktop::CaretSource::kGuiThreadCaret:
    case desktop::CaretSource::kAccessibleCaret:
    case desktop::CaretSource::kFocusedControl:
      break;
  }
  const auto it = other_carets.find(source);
  if (it == other_carets.end()) {
    return std::nullopt;
  }
  return it->second;
}

desktop::Point FakeDesktop::ClientToScreen(desktop::WindowHandle window, desktop::Point point) {
  log.push_back("ClientToScreen " + std::to_string(window));
  const auto it = windows.find(window);
  if (it == windows.end()) {
    return point;
  }
  return {point.x + it->second.client_origin.x, point.y + it->second.client_origin.y};
}

unsigned FakeDesktop::WindowDpi(desktop::WindowHandle window) {
  const auto it = windows.find(window);
  if (it == windows.end() || it->second.dpi == 0) {
    return MonitorAt(it == windows.end() ? desktop::Point{} : it->second.client_origin).dpi;
  }
  return it->second.dpi;
}

desktop::MonitorArea FakeDesktop::MonitorAt(desktop::Point point) {
  // As MonitorFromPoint with MONITOR_DEFAULTTONEAREST: the monitor holding the point, else the
  // one whose edge is closest.
  const desktop::MonitorArea* nearest = nullptr;
  long long nearest_distance = 0;
  for (const auto& monitor : monitors) {
    const desktop::Rect& b = monitor.bounds;
    const long long dx = point.x < b.left     ? b.left - point.x
                         : point.x >= b.right ? point.x - (b.right - 1)
                                              : 0;
    const long long dy = point.y < b.top       ? b.top - point.y
                         : point.y >= b.bottom ? point.y - (b.bottom - 1)
                                               : 0;
    const long long distance = dx * dx + dy * dy;
    if (nearest == nullptr || distance < nearest_distance) {
      nearest = &monitor;
      nearest_distance = distance;
    }
  }
  return nearest != nullptr ? *nearest : desktop::MonitorArea{};
}

void FakeDesktop::Sleep(std::uint32_t milliseconds) {
  log.push_back("Sleep " + std::to_string(milliseconds));
  slept_milliseconds += milliseconds;
  if (timers_) {
    timers_->Pass(milliseconds);
  }
  if (on_sleep) {
    on_sleep(milliseconds);
  }
}

void FakeDesktop::ProcessPendingMessages() {
  log.push_back("ProcessPendingMessages");
  ++pending_message_pumps;
  if (timers_) {
    timers_->DeliverDue();
  }
  if (on_process_messages) {
    on_process_messages();
  }
}

std::vector<FakeDesktop::KeyEventRecord> FakeDesktop::TakeKeyEvents() {
  std::vector<KeyEventRecord> events;
  events.swap(key_events);
  return events;
}

}  // namespace talvorine::testing
