// The Desktop port on the real Win32 desktop (under Wine here): clipboard text in cp932 whatever
// the system's code page, a clipboard held by someone else, hotkeys, windows and the pump.
#include "desktop/win32/win32_desktop.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "common/error.h"

namespace talvorine::win32 {
namespace {

constexpr UINT kProbeMessage = WM_APP + 7;
int g_probes_seen = 0;

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
  if (message == kProbeMessage) {
    ++g_probes_seen;
    return 0;
  }
  return DefWindowProcW(window, message, w_param, l_param);
}

class Win32DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = ProbeWindowProc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"TalvorineDesktopTest";
    RegisterClassW(&window_class);
    window_ = CreateWindowExW(0, L"TalvorineDesktopTest", L"test", WS_OVERLAPPEDWINDOW, 100, 120,
                              300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    desktop_.SetMainWindow(window_);
  }
  void TearDown() override { DestroyWindow(window_); }

  // The clipboard's CF_UNICODETEXT as another program would read it.
  std::wstring RawClipboardText() {
    std::wstring text;
    if (OpenClipboard(window_)) {
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
          text = wide;
          GlobalUnlock(data);
        }
      }
      CloseClipboard();
    }
    return text;
  }

  void PutRawClipboardText(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(window_));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
  }

  HWND window_ = nullptr;
  Win32Desktop desktop_;
};

struct ClipboardCase {
  const char* cp932;
  const wchar_t* wide;
};

// Narrow literals are cp932 bytes; the clipboard must hold the same characters as UTF-16.
const ClipboardCase kClipboardCases[] = {
    {"", L""},
    {"abc", L"abc"},
    {"日本語の定型文", L"日本語の定型文"},
    {"全角　空白とｶﾀｶﾅ", L"全角\u3000空白とｶﾀｶﾅ"},
    {"行1\r\n行2", L"行1\r\n行2"},
    {"～①", L"\uFF5E\u2460"},  // the characters where cp932 differs from plain Shift_JIS
};

TEST_F(Win32DesktopTest, ClipboardTextIsUnicodeTextConvertedFromCp932) {
  for (const auto& c : kClipboardCases) {
    desktop_.SetClipboardText(c.cp932);
    EXPECT_EQ(RawClipboardText(), c.wide) << c.cp932;
    EXPECT_TRUE(desktop_.ClipboardHasText()) << c.cp932;
    EXPECT_EQ(desktop_.ClipboardText(), c.cp932) << c.cp932;
  }
}

TEST_F(Win32DesktopTest, TextFromAnotherProgramIsReadAsCp932) {
  PutRawClipboardText(L"他のプログラムの文");
  EXPECT_EQ(desktop_.ClipboardText(), "他のプログラムの文");
}

TEST_F(Win32DesktopTest, AnEmptiedClipboardHoldsNoText) {
  desktop_.SetClipboardText("x");
  desktop_.ClearClipboard();
  EXPECT_FALSE(desktop_.ClipboardHasText());
  EXPECT_EQ(desktop_.ClipboardText(), "");
}

TEST_F(Win32DesktopTest, AClipboardHeldByAnotherThreadRaisesTheProgramsMessage) {
  const auto snapshot = desktop_.SaveClipboard(desktop::ClipboardCopy::kEverything);
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    if (OpenClipboard(nullptr)) {
      SetEvent(opened);
      WaitForSingleObject(release, 10000);
      CloseClipboard();
    }
  });
  ASSERT_EQ(WaitForSingleObject(opened, 5000), WAIT_OBJECT_0);
  const std::function<void(Win32Desktop&)> attempts[] = {
      [](Win32Desktop& d) { d.ClipboardText(); },
      [](Win32Desktop& d) { d.SetClipboardText("x"); },
      [](Win32Desktop& d) { d.ClearClipboard(); },
      [](Win32Desktop& d) { d.ClipboardHasText(); },
      [](Win32Desktop& d) { d.SaveClipboard(desktop::ClipboardCopy::kEverything); },
      [&](Win32Desktop& d) { d.RestoreClipboard(*snapshot); }};
  for (const auto& attempt : attempts) {
    try {
      attempt(desktop_);
      ADD_FAILURE() << "no error while the clipboard is held";
    } catch (const Error& error) {
      EXPECT_STREQ(error.what(), "クリップボードを開くことができません");
    }
  }
  SetEvent(release);
  holder.join();
  CloseHandle(opened);
  CloseHandle(release);
  desktop_.SetClipboardText("解放後");
  EXPECT_EQ(desktop_.ClipboardText(), "解放後");
}

TEST_F(Win32DesktopTest, AHotkeyCombinationCanBeHeldOnlyOnce) {
  constexpr std::uint32_t kMods = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
  ASSERT_TRUE(desktop_.RegisterHotKey(0, kMods, 'Q'));
  EXPECT_FALSE(desktop_.RegisterHotKey(0, kMods, 'Q'));
  EXPECT_FALSE(desktop_.RegisterHotKey(3, kMods, 'Q'));
  desktop_.UnregisterHotKey(0);
  EXPECT_TRUE(desktop_.RegisterHotKey(3, kMods, 'Q'));
  desktop_.UnregisterHotKey(3);
}

TEST_F(Win32DesktopTest, WindowsAreToldApartAndPointsConverted) {
  const desktop::WindowHandle own = FromHwnd(window_);
  EXPECT_EQ(desktop_.MainWindow(), own);
  EXPECT_TRUE(desktop_.IsOwnWindow(own));
  EXPECT_FALSE(desktop_.IsOwnWindow(0));
  EXPECT_EQ(desktop_.WindowThreadId(own), GetCurrentThreadId());
  EXPECT_EQ(desktop_.WindowThreadId(0), 0u);
  EXPECT_EQ(desktop_.FirstChildWindow(own), 0u);

  POINT origin{0, 0};
  ::ClientToScreen(window_, &origin);
  EXPECT_EQ(desktop_.ClientToScreen(own, {10, 20}), (desktop::Point{origin.x + 10, origin.y + 20}));
  // A call that fails leaves the point as it was.
  EXPECT_EQ(desktop_.ClientToScreen(0, {10, 20}), (desktop::Point{10, 20}));
}

TEST_F(Win32DesktopTest, TheMonitorOfAPointHasItsWorkAreaAndDpi) {
  const desktop::MonitorArea primary = desktop_.MonitorAt({0, 0});
  EXPECT_EQ(primary.bounds,
            (desktop::Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
  EXPECT_GE(primary.work.left, primary.bounds.left);
  EXPECT_GE(primary.work.top, primary.bounds.top);
  EXPECT_LE(primary.work.right, primary.bounds.right);
  EXPECT_LE(primary.work.bottom, primary.bounds.bottom);
  EXPECT_GT(primary.work.height(), 0);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(primary.dpi, static_cast<unsigned>(GetDeviceCaps(screen, LOGPIXELSX)));
  ReleaseDC(nullptr, screen);
  // A point on no monitor belongs to the nearest one.
  EXPECT_EQ(desktop_.MonitorAt({-5000, -5000}), primary);
}

TEST_F(Win32DesktopTest, TheCaretOfAFocusedEditIsReadInItsOwnClientCoordinates) {
  HWND edit = CreateWindowExW(0, L"EDIT", L"abc", WS_CHILD | WS_VISIBLE, 10, 10, 200, 24, window_,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(edit, nullptr);
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 3, 3);
  POINT expected{};
  ASSERT_TRUE(GetCaretPos(&expected));

  const auto system = desktop_.ReadCaret(desktop::CaretSource::kSystemCaret, FromHwnd(edit));
  ASSERT_TRUE(system.has_value());
  EXPECT_EQ(system->client_of, FromHwnd(edit));
  EXPECT_EQ(system->rect.left, expected.x);
  EXPECT_EQ(system->rect.top, expected.y);
  EXPECT_GT(system->rect.height(), 0);
  // No target, no system caret: there is no thread to read it from.
  EXPECT_FALSE(desktop_.ReadCaret(desktop::CaretSource::kSystemCaret, 0).has_value());

  POINT cursor{};
  GetCursorPos(&cursor);
  const auto mouse = desktop_.ReadCaret(desktop::CaretSource::kMousePointer, 0);
  ASSERT_TRUE(mouse.has_value());
  EXPECT_EQ(mouse->rect, (desktop::Rect{cursor.x, cursor.y, cursor.x, cursor.y}));
  EXPECT_EQ(mouse->client_of, 0u);
  DestroyWindow(edit);
}

TEST_F(Win32DesktopTest, TheForegroundLockTimeoutIsSetAndRestored) {
  const std::uint32_t before = desktop_.ForegroundLockTimeout();
  desktop_.SetForegroundLockTimeout(0);
  EXPECT_EQ(desktop_.ForegroundLockTimeout(), 0u);
  desktop_.SetForegroundLockTimeout(before);
  EXPECT_EQ(desktop_.ForegroundLockTimeout(), before);
}

TEST_F(Win32DesktopTest, ThePumpHandlesPendingMessagesAndLeavesTheQuitForTheLoop) {
  g_probes_seen = 0;
  PostMessageW(window_, kProbeMessage, 0, 0);
  PostMessageW(window_, kProbeMessage, 0, 0);
  desktop_.ProcessPendingMessages();
  EXPECT_EQ(g_probes_seen, 2);

  PostQuitMessage(3);
  desktop_.ProcessPendingMessages();
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 3u);
}

}  // namespace
}  // namespace talvorine::win32
