#include "lan/win32/talvorine_sendform.h"

#include <gtest/gtest.h>

#include <string>

#include "common/error_record.h"
#include "common/handler_guard.h"
#include "ui/win32/pump.h"
#include "ui/win32/wide_text.h"

namespace talvorine::win32 {
namespace {

class TSendFormTest : public ::testing::Test {
 protected:
  MemoryErrorRecord record;
  HandlerGuard guard{record};
  TSendForm form{guard, nullptr};
};

std::string WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return WideToCp932(text);
}

TEST_F(TSendFormTest, LooksAsDesigned) {
  EXPECT_EQ(WindowText(form.hwnd()), "ネットワーク上PCへの一斉送付");
  EXPECT_FALSE(form.IsVisible()) << "made hidden";
  const LONG_PTR ex_style = GetWindowLongPtrW(form.hwnd(), GWL_EXSTYLE);
  EXPECT_TRUE(ex_style & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(ex_style & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongPtrW(form.hwnd(), GWL_STYLE) & WS_THICKFRAME) << "not resizable";
  RECT client{};
  GetClientRect(form.hwnd(), &client);
  EXPECT_EQ(client.right - client.left, form.Scale(TSendForm::kClientWidth));
  EXPECT_EQ(client.bottom - client.top, form.Scale(TSendForm::kClientHeight));
  EXPECT_EQ(WindowText(form.label1().hwnd()), "作業状況：");
  EXPECT_EQ(WindowText(form.label2().hwnd()), "");
  EXPECT_EQ(form.progress_bar1().NativeMax(), 100);
  EXPECT_EQ(form.progress_bar1().NativePosition(), 0);
}

TEST_F(TSendFormTest, ShowsWithoutTakingTheFocusAndHidesAgain) {
  HWND before = GetForegroundWindow();
  form.ShowForm();
  EXPECT_TRUE(form.IsVisible());
  EXPECT_NE(GetForegroundWindow(), form.hwnd());
  EXPECT_EQ(GetForegroundWindow(), before);
  form.SetLabel2Caption("ファイル送信中・・・");
  EXPECT_EQ(WindowText(form.label2().hwnd()), "ファイル送信中・・・");
  // The close box hides the form; it stays for the next send.
  SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.IsVisible());
  EXPECT_TRUE(IsWindow(form.hwnd()));
  form.ShowForm();
  form.HideForm();
  EXPECT_FALSE(form.IsVisible());
}

TEST_F(TSendFormTest, ProgressFollowsTheFileInBytes) {
  struct Case {
    const char* name;
    std::uint64_t maximum;
    std::uint64_t position;
    int permille;  // position / maximum as the bar shows it, in thousandths
  };
  constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;
  constexpr Case kCases[] = {
      {"empty file", 0, 0, -1},
      {"100 kB half way", 100000, 50000, 500},
      {"past the default 100", 1000, 750, 750},
      {"6 GiB, a third", 6 * kGiB, 2 * kGiB, 333},
      {"position beyond the end", 1000, 5000, 1000},
      {"largest size", UINT64_MAX, UINT64_MAX / 4, 250},
  };
  ProgressBar& bar = form.progress_bar1();
  for (const Case& c : kCases) {
    bar.SetMax(c.maximum);
    bar.SetPosition(c.position);
    if (c.permille < 0) {
      EXPECT_EQ(bar.NativeMax(), 0) << c.name;
      EXPECT_EQ(bar.NativePosition(), 0) << c.name;
      continue;
    }
    ASSERT_GT(bar.NativeMax(), 0) << c.name;
    const long long shown = static_cast<long long>(bar.NativePosition()) * 1000 / bar.NativeMax();
    EXPECT_NEAR(shown, c.permille, 1) << c.name;
  }
}

}  // namespace
}  // namespace talvorine::win32
