// Paste targets of the end-to-end tests that keep no system caret, as many modern editors and
// browsers do. One window, "Talvorine Caret Target", in one of three kinds (the argument):
//   drawn    draws its own caret (a bar at kCaretLeft, kCaretTop of its client area) and offers
//            it as the accessible caret object (WM_GETOBJECT with OBJID_CARET), as browsers do;
//   control  a focused child control that has no caret at all;
//   bare     no child, no caret, nothing to ask: only the mouse pointer is left.
// It writes "caret-target-report.txt" once it is up: its client origin and DPI, so the test
// knows where the caret is drawn on the screen.
#include <windows.h>

#include <oleacc.h>

#include <string>

namespace {

constexpr int kCaretLeft = 120;
constexpr int kCaretTop = 90;
constexpr int kCaretHeight = 18;
constexpr int kControlId = 1;

// MinGW's liboleacc.a gives an import stub under the name IID_IAccessible; the id itself:
constexpr GUID kIidIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

HWND g_window = nullptr;

// The caret object: only its location matters; everything else is not offered.
class DrawnCaret final : public IAccessible {
 public:
  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) {
      return E_POINTER;
    }
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDispatch) ||
        IsEqualGUID(iid, kIidIAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
      delete this;
    }
    return static_cast<ULONG>(left);
  }
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }
  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch**) override { return E_INVALIDARG; }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT, VARIANT* role) override {
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_CARET;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR*, VARIANT, long*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT) override {
    POINT origin{kCaretLeft, kCaretTop};
    ClientToScreen(g_window, &origin);
    *left = origin.x;
    *top = origin.y;
    *width = 2;
    *height = kCaretHeight;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accHitTest(long, long, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  LONG references_ = 1;
};

enum class Kind { kDrawn, kControl, kBare };
Kind g_kind = Kind::kBare;

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

// "client=X Y", "caret=X Y H" (the drawn caret in client coordinates), "control=L T R B" (the
// child control's window rectangle), "dpi=N".
void WriteReport(HWND window) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  std::wstring report = L"client=" + std::to_wstring(origin.x) + L" " + std::to_wstring(origin.y) +
                        L"\ncaret=" + std::to_wstring(kCaretLeft) + L" " +
                        std::to_wstring(kCaretTop) + L" " + std::to_wstring(kCaretHeight);
  RECT control{};
  if (HWND child = GetDlgItem(window, kControlId)) {
    GetWindowRect(child, &control);
  }
  report += L"\ncontrol=" + std::to_wstring(control.left) + L" " + std::to_wstring(control.top) +
            L" " + std::to_wstring(control.right) + L" " + std::to_wstring(control.bottom);
  HDC screen = GetDC(nullptr);
  report += L"\ndpi=" + std::to_wstring(GetDeviceCaps(screen, LOGPIXELSY)) + L"\n";
  ReleaseDC(nullptr, screen);
  const std::string bytes = Utf8(report);
  HANDLE file = CreateFileW(L"caret-target-report.new", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return;
  }
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  MoveFileExW(L"caret-target-report.new", L"caret-target-report.txt", MOVEFILE_REPLACE_EXISTING);
}

LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
  if (message == WM_GETDLGCODE) {
    return DLGC_WANTALLKEYS;
  }
  return DefWindowProcW(window, message, w_param, l_param);
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
  switch (message) {
    case WM_CREATE:
      if (g_kind == Kind::kControl) {
        CreateWindowExW(WS_EX_CLIENTEDGE, L"CaretTargetControl", L"", WS_CHILD | WS_VISIBLE, 40, 60,
                        200, 30, window, reinterpret_cast<HMENU>(kControlId),
                        GetModuleHandleW(nullptr), nullptr);
      }
      return 0;
    case WM_SETFOCUS:
      if (HWND child = GetDlgItem(window, kControlId)) {
        SetFocus(child);
      }
      return 0;
    case WM_GETOBJECT:
      if (g_kind == Kind::kDrawn && static_cast<LONG>(l_param) == OBJID_CARET) {
        auto* caret = new DrawnCaret;
        const LRESULT result = LresultFromObject(kIidIAccessible, w_param, caret);
        caret->Release();
        return result;
      }
      return DefWindowProcW(window, message, w_param, l_param);
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      if (g_kind == Kind::kDrawn) {
        RECT bar{kCaretLeft, kCaretTop, kCaretLeft + 2, kCaretTop + kCaretHeight};
        FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      }
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, w_param, l_param);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  const std::wstring kind = command_line != nullptr ? command_line : L"";
  g_kind = kind == L"drawn" ? Kind::kDrawn : kind == L"control" ? Kind::kControl : Kind::kBare;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  WNDCLASSEXW control_class{};
  control_class.cbSize = sizeof control_class;
  control_class.lpfnWndProc = ControlProc;
  control_class.hInstance = instance;
  control_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  control_class.lpszClassName = L"CaretTargetControl";
  RegisterClassExW(&control_class);

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = TargetProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = L"TalvorineCaretTarget";
  RegisterClassExW(&window_class);
  g_window = CreateWindowExW(0, L"TalvorineCaretTarget", L"Talvorine Caret Target",
                             WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200, 480, 320, nullptr, nullptr,
                             instance, nullptr);
  if (g_window == nullptr) {
    return 1;
  }
  SetForegroundWindow(g_window);
  WriteReport(g_window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  CoUninitialize();
  return 0;
}
