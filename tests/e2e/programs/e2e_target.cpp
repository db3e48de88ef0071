// The paste target of the end-to-end tests: one window, "Talvorine E2E Target", filled by a
// multi-line edit control. After every change of its text or caret it writes a report into its
// working directory, "target-report.txt" (UTF-8): the line "caret=N" (the caret's character
// position), the line "length=N", then the text as it stands. The report is written to a new
// file and then moved into place, so a reader never sees half of it. Ctrl+A selects all.
#include <windows.h>

#include <string>

namespace {

constexpr wchar_t kReport[] = L"target-report.txt";
constexpr wchar_t kReportNew[] = L"target-report.new";
constexpr UINT_PTR kCaretTimer = 1;
constexpr int kEditId = 1;

// What the window keeps: the last report, so an unchanged state is not written again.
struct TargetState {
  std::wstring last_report;
};

std::string Utf8(const std::wstring& text) {
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

void WriteReport(HWND window) {
  auto* state = reinterpret_cast<TargetState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  HWND edit = GetDlgItem(window, kEditId);
  if (state == nullptr || edit == nullptr) {
    return;
  }
  const int length = GetWindowTextLengthW(edit);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), length + 1)));
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const std::wstring report =
      L"caret=" + std::to_wstring(end) + L"\nlength=" + std::to_wstring(text.size()) + L"\n" + text;
  if (report == state->last_report) {
    return;
  }
  state->last_report = report;
  const std::string bytes = Utf8(report);
  HANDLE file = CreateFileW(kReportNew, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return;
  }
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  MoveFileExW(kReportNew, kReport, MOVEFILE_REPLACE_EXISTING);
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
  switch (message) {
    case WM_CREATE: {
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TargetState));
      HWND edit = CreateWindowExW(
          WS_EX_CLIENTEDGE, L"EDIT", L"",
          WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0,
          0, 0, window, reinterpret_cast<HMENU>(kEditId), GetModuleHandleW(nullptr), nullptr);
      SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
      SetTimer(window, kCaretTimer, 20, nullptr);
      WriteReport(window);
      return 0;
    }
    case WM_SIZE:
      MoveWindow(GetDlgItem(window, kEditId), 0, 0, LOWORD(l_param), HIWORD(l_param), TRUE);
      return 0;
    case WM_SETFOCUS:
      SetFocus(GetDlgItem(window, kEditId));
      return 0;
    case WM_COMMAND:
      if (HIWORD(w_param) == EN_CHANGE) {
        WriteReport(window);
      }
      return 0;
    case WM_TIMER:
      // The caret moves without a change of text (arrow keys, clicks).
      WriteReport(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      delete reinterpret_cast<TargetState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      return 0;
    default:
      return DefWindowProcW(window, message, w_param, l_param);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = TargetProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = L"TalvorineE2ETarget";
  RegisterClassExW(&window_class);
  HWND window = CreateWindowExW(0, L"TalvorineE2ETarget", L"Talvorine E2E Target",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 100, 480, 320, nullptr,
                                nullptr, instance, nullptr);
  if (window == nullptr) {
    return 1;
  }
  SetForegroundWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Ctrl+A selects the whole text, as in the editors users write in; Wine's edit control
    // leaves it to its parent.
    if (message.message == WM_KEYDOWN && message.wParam == 'A' && GetKeyState(VK_CONTROL) < 0 &&
        message.hwnd == GetDlgItem(window, kEditId)) {
      SendMessageW(message.hwnd, EM_SETSEL, 0, -1);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
