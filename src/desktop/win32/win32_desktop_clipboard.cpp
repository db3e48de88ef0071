// The clipboard operations of the Desktop port.
#include <cstring>
#include <string>

#include "desktop/win32/clipboard_marks.h"
#include "desktop/win32/clipboard_snapshot.h"
#include "desktop/win32/opened_clipboard.h"
#include "desktop/win32/win32_desktop.h"
#include "ui/win32/wide_text.h"

namespace talvorine::win32 {

bool Win32Desktop::ClipboardHasText() {
  // Opened like every other step, so a held clipboard reports the same error.
  OpenedClipboard clipboard(main_window_);
  return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}

std::string Win32Desktop::ClipboardText() {
  OpenedClipboard clipboard(main_window_);
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) {
    return {};
  }
  const auto* wide = static_cast<const wchar_t*>(GlobalLock(data));
  if (!wide) {
    return {};
  }
  // The text ends at its terminating zero or at the end of its memory, whichever comes first.
  const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < capacity && wide[length] != L'\0') {
    ++length;
  }
  std::string text = WideToCp932(std::wstring_view(wide, length));
  GlobalUnlock(data);
  return text;
}

void Win32Desktop::ClearClipboard() {
  OpenedClipboard clipboard(main_window_);
  EmptyClipboard();
}

void Win32Desktop::SetClipboardText(std::string_view text) {
  const std::wstring wide = Cp932ToWide(text);
  OpenedClipboard clipboard(main_window_);
  EmptyClipboard();
  const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) {
    return;
  }
  void* target = GlobalLock(memory);
  if (!target) {
    GlobalFree(memory);
    return;
  }
  std::memcpy(target, wide.c_str(), bytes);
  GlobalUnlock(memory);
  // On success the clipboard owns the memory.
  if (!SetClipboardData(CF_UNICODETEXT, memory)) {
    GlobalFree(memory);
    return;
  }
  // Hundreds of phrases an hour would otherwise push the user's own entries out of clipboard
  // history and fill every clipboard manager.
  MarkForPasteOnly();
}

std::unique_ptr<desktop::ClipboardSnapshot> Win32Desktop::SaveClipboard(
    desktop::ClipboardCopy what) {
  OpenedClipboard clipboard(main_window_);
  return Win32ClipboardSnapshot::CopyOpenClipboard(what, desktop::kClipboardSnapshotLimit);
}

void Win32Desktop::RestoreClipboard(const desktop::ClipboardSnapshot& snapshot) {
  const auto& saved = dynamic_cast<const Win32ClipboardSnapshot&>(snapshot);
  OpenedClipboard clipboard(main_window_);
  EmptyClipboard();
  saved.PutOnOpenClipboard();
}

}  // namespace talvorine::win32
