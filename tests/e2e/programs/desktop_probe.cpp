// A console helper for the end-to-end tests of the candidate window and the insertion: it looks
// at windows, carets and the clipboard from inside Wine and answers on stdout in UTF-8, one
// line per answer. The waiting commands first answer "ready" once they look, then poll every
// millisecond and answer the moment their condition holds, so the test can act after "ready"
// and time the answer by when its line arrives.
//
//   caret TITLE                   screen point of the caret of the window's thread: "x y"
//   rect CLASS                    "visible|hidden left top right bottom" of the first window of
//                                 that class, or "none"
//   wait-visible CLASS MS         "visible" once such a window is visible, else "timeout"
//   wait-hidden CLASS MS          "hidden" once no such window is visible, else "timeout"
//   wait-reshown CLASS MS         "visible" once such a window has been hidden and is visible
//                                 again, else "timeout"
//   wait-text TITLE TEXT MS       "found" once the first child of the window holds TEXT
//   text TITLE                    the text of the window's first child
//   clipboard                     the clipboard text ("" when there is none)
//   set-clipboard TEXT            puts TEXT on the clipboard
//   watch-clipboard MS            "ready", then for MS milliseconds one line with the
//                                 clipboard text each time it changes (the first is the text
//                                 at the start), then "end"
//   box CAPTION                   the text of the message box with that caption, or "none"
//   close-box CAPTION             presses OK in that box: "closed" or "none"
//   rows CLASS                    the number of rows of the list in that window and the
//                                 selected one (from 0): "rows selected"
//   foreground                    the class name of the foreground window
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "probe_answer.h"

namespace {

std::wstring WindowText(HWND window) {
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied = SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(length + 1),
                                      reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return text;
}

template <typename Condition>
bool PollFor(DWORD milliseconds, Condition condition) {
  Answer(L"ready");
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  while (true) {
    if (condition()) {
      return true;
    }
    if (GetTickCount64() >= deadline) {
      return false;
    }
    Sleep(1);
  }
}

// Tries for up to a second, without answering "ready".
template <typename Attempt>
bool Retry(Attempt attempt) {
  for (int i = 0; i < 100; ++i) {
    if (attempt()) {
      return true;
    }
    Sleep(10);
  }
  return false;
}

bool AnyVisible(const wchar_t* class_name) {
  for (HWND window = FindWindowExW(nullptr, nullptr, class_name, nullptr); window != nullptr;
       window = FindWindowExW(nullptr, window, class_name, nullptr)) {
    if (IsWindowVisible(window)) {
      return true;
    }
  }
  return false;
}

HWND FindBox(const wchar_t* caption) {
  for (HWND window = FindWindowExW(nullptr, nullptr, L"#32770", caption); window != nullptr;
       window = FindWindowExW(nullptr, window, L"#32770", caption)) {
    if (IsWindowVisible(window)) {
      return window;
    }
  }
  return nullptr;
}

// The longest static text of a message box is its message.
std::wstring BoxText(HWND box) {
  std::wstring best;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t class_name[32] = {};
    GetClassNameW(child, class_name, 32);
    if (lstrcmpiW(class_name, L"Static") == 0) {
      std::wstring text = WindowText(child);
      if (text.size() > best.size()) {
        best = text;
      }
    }
  }
  return best;
}

// The clipboard's text ("" when it holds none); false while another program has it open.
bool ReadClipboardText(std::wstring& text) {
  if (!OpenClipboard(nullptr)) {
    return false;
  }
  text.clear();
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = wide;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return true;
}

int Run(int argc, wchar_t** argv) {
  if (argc < 2) {
    return 2;
  }
  const std::wstring command = argv[1];
  if (command == L"caret" && argc == 3) {
    HWND window = FindWindowW(nullptr, argv[2]);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (window == nullptr || !GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ||
        info.hwndCaret == nullptr) {
      Answer(L"none");
      return 1;
    }
    POINT point{info.rcCaret.left, info.rcCaret.top};
    ClientToScreen(info.hwndCaret, &point);
    Answer(std::to_wstring(point.x) + L" " + std::to_wstring(point.y));
    return 0;
  }
  if (command == L"rect" && argc == 3) {
    HWND window = FindWindowW(argv[2], nullptr);
    RECT rect{};
    if (window == nullptr || !GetWindowRect(window, &rect)) {
      Answer(L"none");
      return 1;
    }
    Answer(std::wstring(IsWindowVisible(window) ? L"visible " : L"hidden ") +
           std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
           std::to_wstring(rect.right) + L" " + std::to_wstring(rect.bottom));
    return 0;
  }
  if ((command == L"wait-visible" || command == L"wait-hidden") && argc == 4) {
    const bool want_visible = command == L"wait-visible";
    const bool met = PollFor(static_cast<DWORD>(_wtoi(argv[3])),
                             [&] { return AnyVisible(argv[2]) == want_visible; });
    Answer(met ? (want_visible ? L"visible" : L"hidden") : L"timeout");
    return met ? 0 : 1;
  }
  if (command == L"wait-reshown" && argc == 4) {
    bool was_hidden = false;
    const bool met = PollFor(static_cast<DWORD>(_wtoi(argv[3])), [&] {
      const bool visible = AnyVisible(argv[2]);
      was_hidden = was_hidden || !visible;
      return was_hidden && visible;
    });
    Answer(met ? L"visible" : L"timeout");
    return met ? 0 : 1;
  }
  if (command == L"wait-text" && argc == 5) {
    const std::wstring wanted = argv[3];
    const bool met = PollFor(static_cast<DWORD>(_wtoi(argv[4])), [&] {
      HWND window = FindWindowW(nullptr, argv[2]);
      HWND child = window ? GetWindow(window, GW_CHILD) : nullptr;
      return child != nullptr && WindowText(child).find(wanted) != std::wstring::npos;
    });
    Answer(met ? L"found" : L"timeout");
    return met ? 0 : 1;
  }
  if (command == L"text" && argc == 3) {
    HWND window = FindWindowW(nullptr, argv[2]);
    HWND child = window ? GetWindow(window, GW_CHILD) : nullptr;
    Answer(child ? WindowText(child) : L"");
    return child ? 0 : 1;
  }
  if (command == L"clipboard" && argc == 2) {
    std::wstring text;
    if (!Retry([&] { return ReadClipboardText(text); })) {
      Answer(L"busy");
      return 1;
    }
    Answer(text);
    return 0;
  }
  if (command == L"watch-clipboard" && argc == 3) {
    Answer(L"ready");
    const ULONGLONG deadline = GetTickCount64() + static_cast<DWORD>(_wtoi(argv[2]));
    DWORD seen = 0;
    bool first = true;
    while (GetTickCount64() < deadline) {
      const DWORD sequence = GetClipboardSequenceNumber();
      if (first || sequence != seen) {
        std::wstring text;
        if (ReadClipboardText(text)) {
          seen = sequence;
          first = false;
          Answer(text);
        }
      }
      Sleep(1);
    }
    Answer(L"end");
    return 0;
  }
  if (command == L"set-clipboard" && argc == 3) {
    const std::wstring text = argv[2];
    if (!Retry([] { return OpenClipboard(nullptr) != FALSE; })) {
      Answer(L"busy");
      return 1;
    }
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    Answer(L"set");
    return 0;
  }
  if (command == L"box" && argc == 3) {
    HWND box = FindBox(argv[2]);
    Answer(box ? BoxText(box) : L"none");
    return box ? 0 : 1;
  }
  if (command == L"close-box" && argc == 3) {
    HWND box = FindBox(argv[2]);
    if (box == nullptr) {
      Answer(L"none");
      return 1;
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    Answer(L"closed");
    return 0;
  }
  if (command == L"rows" && argc == 3) {
    HWND window = FindWindowW(argv[2], nullptr);
    HWND list = window ? FindWindowExW(window, nullptr, L"SysListView32", nullptr) : nullptr;
    if (list == nullptr) {
      Answer(L"none");
      return 1;
    }
    const LRESULT rows = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    const LRESULT selected =
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    Answer(std::to_wstring(rows) + L" " + std::to_wstring(selected));
    return 0;
  }
  if (command == L"columns" && argc == 3) {
    // The candidate list's column widths and its client width, in pixels.
    HWND window = FindWindowW(argv[2], nullptr);
    HWND list = window ? FindWindowExW(window, nullptr, L"SysListView32", nullptr) : nullptr;
    RECT client{};
    if (list == nullptr || !GetClientRect(list, &client)) {
      Answer(L"none");
      return 1;
    }
    Answer(std::to_wstring(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0)) + L" " +
           std::to_wstring(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0)) + L" " +
           std::to_wstring(client.right));
    return 0;
  }
  if (command == L"move-mouse" && argc == 4) {
    SetCursorPos(_wtoi(argv[2]), _wtoi(argv[3]));
    POINT point{};
    GetCursorPos(&point);
    Answer(std::to_wstring(point.x) + L" " + std::to_wstring(point.y));
    return 0;
  }
  if (command == L"foreground" && argc == 2) {
    wchar_t class_name[256] = {};
    GetClassNameW(GetForegroundWindow(), class_name, 256);
    Answer(class_name);
    return 0;
  }
  Answer(L"unknown command");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  // Per-monitor aware like the program, so that every place and size it reports is in physical
  // pixels at any scale.
  using SetContext = BOOL(WINAPI*)(HANDLE);
  const auto set_context = reinterpret_cast<SetContext>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  if (set_context == nullptr || !set_context(reinterpret_cast<HANDLE>(-4))) {
    SetProcessDPIAware();
  }
  return Run(argc, argv);
}
