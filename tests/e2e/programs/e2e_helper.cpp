// A console helper for the end-to-end tests: it looks at and pokes the windows of the program
// under test from outside, the way another program or the system would. Every answer is one
// line of JSON in UTF-8 on standard output; a window that is not there is {"found": false}.
//
//   e2e_helper info                       the main window: found, visible, iconic, selected tab
//   e2e_helper text ID                    the text of the main window's control with that id
//   e2e_helper state ID                   check box, combo box or tab selection, list box count
//   e2e_helper close                      posts WM_CLOSE to the main window
//   e2e_helper minimize                   posts the system menu's minimize to the main window
//   e2e_helper endsession WPARAM          sends WM_QUERYENDSESSION, then WM_ENDSESSION
//   e2e_helper click ID                   posts BM_CLICK to the control with that id
//   e2e_helper set-text ID TEXT           sets the text of that control as typing would (the
//                                         control reports the change to the program)
//   e2e_helper form-control CLASS ID      text of a control of the top-level window of that
//                                         class; for a progress bar also its position and maximum
//   e2e_helper file-dialog TITLE PATH     types PATH into the file dialog of that title, OK
//   e2e_helper dialog-text TITLE          the texts of the static controls of a dialog
//   e2e_helper press TITLE ID             posts a click on the dialog's button with that id
//   e2e_helper key ID VK                  posts a key press (down and up) to that control
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kMainClass[] = L"TalvorineForm1";
constexpr DWORD kSendTimeout = 5000;

std::string Utf8(std::wstring_view text) {
  if (text.empty()) {
    return {};
  }
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::string Json(std::wstring_view text) {
  std::string out = "\"";
  for (unsigned char c : Utf8(text)) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

void Print(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fwrite("\n", 1, 1, stdout);
  std::fflush(stdout);
}

HWND MainWindow() {
  return FindWindowW(kMainClass, nullptr);
}

struct ChildSearch {
  int id;
  HWND found;
};

HWND ChildById(HWND root, int id) {
  ChildSearch search{id, nullptr};
  EnumChildWindows(
      root,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<ChildSearch*>(data);
        if (GetDlgCtrlID(child) == s->id) {
          s->found = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return name;
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeout,
                           &length)) {
    return {};
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, kSendTimeout, &copied);
  text.resize(copied);
  return text;
}

LRESULT SendWait(HWND window, UINT message, WPARAM w_param, LPARAM l_param, bool* ok = nullptr) {
  DWORD_PTR result = 0;
  const LRESULT sent = SendMessageTimeoutW(window, message, w_param, l_param, SMTO_ABORTIFHUNG,
                                           kSendTimeout, &result);
  if (ok != nullptr) {
    *ok = sent != 0;
  }
  return static_cast<LRESULT>(result);
}

int NotFound() {
  Print("{\"found\": false}");
  return 0;
}

int Info() {
  HWND main = MainWindow();
  if (main == nullptr) {
    return NotFound();
  }
  HWND tabs = ChildById(main, 10);
  const LRESULT tab = tabs != nullptr ? SendWait(tabs, 0x130B /*TCM_GETCURSEL*/, 0, 0) : -1;
  DWORD process = 0;
  GetWindowThreadProcessId(main, &process);
  Print("{\"found\": true, \"visible\": " + std::string(IsWindowVisible(main) ? "true" : "false") +
        ", \"iconic\": " + std::string(IsIconic(main) ? "true" : "false") +
        ", \"tab\": " + std::to_string(tab) + ", \"title\": " + Json(TextOf(main)) +
        ", \"process\": " + std::to_string(process) + "}");
  return 0;
}

int Text(int id) {
  HWND main = MainWindow();
  HWND control = main != nullptr ? ChildById(main, id) : nullptr;
  if (control == nullptr) {
    return NotFound();
  }
  Print("{\"found\": true, \"class\": " + Json(ClassOf(control)) +
        ", \"text\": " + Json(TextOf(control)) + "}");
  return 0;
}

int State(int id) {
  HWND main = MainWindow();
  HWND control = main != nullptr ? ChildById(main, id) : nullptr;
  if (control == nullptr) {
    return NotFound();
  }
  const std::wstring name = ClassOf(control);
  LRESULT value = 0;
  if (_wcsicmp(name.c_str(), L"Button") == 0) {
    value = SendWait(control, BM_GETCHECK, 0, 0);
  } else if (_wcsicmp(name.c_str(), L"ComboBox") == 0) {
    value = SendWait(control, CB_GETCURSEL, 0, 0);
  } else if (_wcsicmp(name.c_str(), L"ListBox") == 0) {
    value = SendWait(control, LB_GETCOUNT, 0, 0);
  } else if (_wcsicmp(name.c_str(), L"SysTabControl32") == 0) {
    value = SendWait(control, 0x130B /*TCM_GETCURSEL*/, 0, 0);
  }
  Print("{\"found\": true, \"class\": " + Json(name) + ", \"value\": " + std::to_string(value) +
        ", \"visible\": " + std::string(IsWindowVisible(control) ? "true" : "false") + "}");
  return 0;
}

int Close() {
  HWND main = MainWindow();
  if (main == nullptr) {
    return NotFound();
  }
  PostMessageW(main, WM_CLOSE, 0, 0);
  Print("{\"found\": true}");
  return 0;
}

int Minimize() {
  HWND main = MainWindow();
  if (main == nullptr) {
    return NotFound();
  }
  PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Print("{\"found\": true}");
  return 0;
}

int EndSession(WPARAM w_param) {
  HWND main = MainWindow();
  if (main == nullptr) {
    return NotFound();
  }
  bool query_sent = false;
  bool end_sent = false;
  const LRESULT query = SendWait(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, &query_sent);
  const LRESULT end = SendWait(main, WM_ENDSESSION, w_param, ENDSESSION_LOGOFF, &end_sent);
  Print("{\"found\": true, \"query\": " + std::to_string(query) + ", \"query_answered\": " +
        (query_sent ? "true" : "false") + ", \"end\": " + std::to_string(end) +
        ", \"end_answered\": " + (end_sent ? "true" : "false") + "}");
  return 0;
}

int Click(int id) {
  HWND main = MainWindow();
  HWND control = main != nullptr ? ChildById(main, id) : nullptr;
  if (control == nullptr) {
    return NotFound();
  }
  PostMessageW(control, BM_CLICK, 0, 0);
  Print("{\"found\": true}");
  return 0;
}

int SetText(int id, const std::wstring& text) {
  HWND main = MainWindow();
  HWND control = main != nullptr ? ChildById(main, id) : nullptr;
  if (control == nullptr) {
    return NotFound();
  }
  bool sent = false;
  SendWait(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &sent);
  Print("{\"found\": true, \"set\": " + std::string(sent ? "true" : "false") + "}");
  return 0;
}

int FormControl(const std::wstring& window_class, int id) {
  HWND form = FindWindowW(window_class.c_str(), nullptr);
  HWND control = form != nullptr ? ChildById(form, id) : nullptr;
  if (control == nullptr) {
    return NotFound();
  }
  std::string line = "{\"found\": true, \"class\": " + Json(ClassOf(control)) +
                     ", \"text\": " + Json(TextOf(control)) +
                     ", \"form_visible\": " + (IsWindowVisible(form) ? "true" : "false");
  if (_wcsicmp(ClassOf(control).c_str(), PROGRESS_CLASSW) == 0) {
    line += ", \"position\": " + std::to_string(SendWait(control, PBM_GETPOS, 0, 0)) +
            ", \"maximum\": " + std::to_string(SendWait(control, PBM_GETRANGE, FALSE, 0));
  }
  Print(line + "}");
  return 0;
}

HWND DialogByTitle(const std::wstring& title) {
  return FindWindowW(L"#32770", title.c_str());
}

int FileDialog(const std::wstring& title, const std::wstring& path) {
  HWND dialog = DialogByTitle(title);
  if (dialog == nullptr) {
    return NotFound();
  }
  // The file name box: the dialog's edit control that is shown (the explorer-style dialog
  // keeps it in a combo box on some systems).
  struct EditSearch {
    HWND found = nullptr;
  } search;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<EditSearch*>(data);
        if (_wcsicmp(ClassOf(child).c_str(), L"Edit") == 0 && IsWindowVisible(child)) {
          s->found = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) {
    return NotFound();
  }
  SendWait(search.found, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  Print("{\"found\": true}");
  return 0;
}

int DialogText(const std::wstring& title) {
  HWND dialog = title.empty() ? nullptr : DialogByTitle(title);
  if (dialog == nullptr) {
    return NotFound();
  }
  std::vector<std::wstring> texts;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM data) -> BOOL {
        if (_wcsicmp(ClassOf(child).c_str(), L"Static") == 0) {
          std::wstring text = TextOf(child);
          if (!text.empty()) {
            reinterpret_cast<std::vector<std::wstring>*>(data)->push_back(text);
          }
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  std::string list = "[";
  for (size_t i = 0; i < texts.size(); ++i) {
    list += (i ? ", " : "") + Json(texts[i]);
  }
  Print("{\"found\": true, \"texts\": " + list + "]}");
  return 0;
}

// A question box may carry the title of the dialog that asks it: the button goes to every
// dialog of that title that has a button with the id.
int Press(const std::wstring& title, int id) {
  bool pressed = false;
  for (HWND dialog = FindWindowExW(nullptr, nullptr, L"#32770", title.c_str()); dialog != nullptr;
       dialog = FindWindowExW(nullptr, dialog, L"#32770", title.c_str())) {
    HWND button = GetDlgItem(dialog, id);
    if (button != nullptr && IsWindowVisible(button)) {
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
      pressed = true;
    }
  }
  if (!pressed) {
    return NotFound();
  }
  Print("{\"found\": true}");
  return 0;
}

int Key(int id, WPARAM virtual_key) {
  HWND main = MainWindow();
  HWND control = main != nullptr ? ChildById(main, id) : nullptr;
  if (control == nullptr) {
    return NotFound();
  }
  PostMessageW(control, WM_KEYDOWN, virtual_key, 1);
  PostMessageW(control, WM_KEYUP, virtual_key, 0xC0000001);
  Print("{\"found\": true}");
  return 0;
}

int Usage() {
  std::fputs(
      "usage: e2e_helper info|text ID|state ID|close|minimize|endsession WPARAM|click ID|"
      "set-text ID TEXT|form-control CLASS ID|file-dialog TITLE PATH|dialog-text TITLE|press TITLE "
      "ID|key ID VK\n",
      stderr);
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) {
    return Usage();
  }
  const std::wstring command = argv[1];
  const auto number = [&](int index) { return std::wcstol(argv[index], nullptr, 0); };
  if (command == L"info") {
    return Info();
  }
  if (command == L"close") {
    return Close();
  }
  if (command == L"minimize") {
    return Minimize();
  }
  if (argc >= 3 && command == L"text") {
    return Text(static_cast<int>(number(2)));
  }
  if (argc >= 3 && command == L"state") {
    return State(static_cast<int>(number(2)));
  }
  if (argc >= 3 && command == L"endsession") {
    return EndSession(static_cast<WPARAM>(std::wcstoul(argv[2], nullptr, 0)));
  }
  if (argc >= 3 && command == L"click") {
    return Click(static_cast<int>(number(2)));
  }
  if (argc >= 4 && command == L"set-text") {
    return SetText(static_cast<int>(number(2)), argv[3]);
  }
  if (argc >= 4 && command == L"form-control") {
    return FormControl(argv[2], static_cast<int>(number(3)));
  }
  if (argc >= 4 && command == L"file-dialog") {
    return FileDialog(argv[2], argv[3]);
  }
  if (argc >= 3 && command == L"dialog-text") {
    return DialogText(argv[2]);
  }
  if (argc >= 4 && command == L"press") {
    return Press(argv[2], static_cast<int>(number(3)));
  }
  if (argc >= 4 && command == L"key") {
    return Key(static_cast<int>(number(2)), static_cast<WPARAM>(number(3)));
  }
  return Usage();
}
