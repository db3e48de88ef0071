#include "ui/win32/window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "common/error.h"
#include "common/error_record.h"
#include "common/handler_guard.h"
#include "ui/win32/controls.h"

namespace talvorine::win32 {
namespace {

constexpr UINT kThrow = WM_APP + 7;
constexpr UINT kAnswer = WM_APP + 8;

class TestWindow : public Window {
 public:
  explicit TestWindow(HandlerGuard& guard) : Window(guard) {
    CreateParams params;
    params.class_name = L"TalvorineTestWindow";
    params.title = L"test";
    params.style = WS_OVERLAPPEDWINDOW;
    params.width = 300;
    params.height = 200;
    CreateHandle(params);
  }
  std::vector<int> menu_commands;
  int destroyed = 0;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) override {
    if (message == kThrow) {
      throw Error("壊れた\r\n二行目");
    }
    if (message == kAnswer) {
      return 41 + static_cast<LRESULT>(w_param);
    }
    return Window::HandleMessage(message, w_param, l_param);
  }
  void OnMenuCommand(int id) override { menu_commands.push_back(id); }
  void OnDestroyed() override { ++destroyed; }
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
  }
  std::vector<std::string> Lines() const { return {record.lines().begin(), record.lines().end()}; }
  MemoryErrorRecord record;
  HandlerGuard guard{record};
};

TEST_F(WindowTest, StoresItselfAtCreationAndForgetsAtDestruction) {
  TestWindow window(guard);
  HWND hwnd = window.hwnd();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&window));
  EXPECT_EQ(SendMessageW(hwnd, kAnswer, 1, 0), 42);

  DestroyWindow(hwnd);
  EXPECT_EQ(window.hwnd(), nullptr);
  EXPECT_EQ(window.destroyed, 1);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowTest, AnExceptionInAHandlerBecomesRecordLinesAndTheWindowLives) {
  TestWindow window(guard);
  EXPECT_EQ(SendMessageW(window.hwnd(), kThrow, 0, 0), 0);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"エラー：壊れた", "二行目"}));
  // The window still answers.
  EXPECT_EQ(SendMessageW(window.hwnd(), kAnswer, 0, 0), 41);
}

TEST_F(WindowTest, MenuCommandsAndControlNotificationsGoToTheirHandlers) {
  TestWindow window(guard);
  int clicks = 0;
  Button button(window, {.id = 100, .rect = {10, 10, 80, 24}, .text = "押す"}, [&] { ++clicks; });
  std::vector<bool> checks;
  CheckBox check(window, {.id = 101, .rect = {10, 40, 120, 20}, .text = "選ぶ"},
                 [&](bool checked) { checks.push_back(checked); });

  SendMessageW(button.hwnd(), BM_CLICK, 0, 0);
  SendMessageW(check.hwnd(), BM_CLICK, 0, 0);
  SendMessageW(check.hwnd(), BM_CLICK, 0, 0);
  SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(7, 0), 0);

  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(checks, (std::vector<bool>{true, false}));
  EXPECT_EQ(window.menu_commands, std::vector<int>{7});
  EXPECT_EQ(button.Text(), "押す");
  // Set by the program: no notification.
  check.SetChecked(true);
  EXPECT_TRUE(check.Checked());
  EXPECT_EQ(checks.size(), 2u);
}

TEST_F(WindowTest, AThrowingControlCallbackIsRecorded) {
  TestWindow window(guard);
  Button button(window, {.id = 100, .rect = {10, 10, 80, 24}, .text = "保存"},
                [] { throw Error("ファイル x を作成できません"); });
  SendMessageW(button.hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(Lines(), std::vector<std::string>{"エラー：ファイル x を作成できません"});
}

TEST_F(WindowTest, ChangeCallbacksRunForTheUserButNotForTheProgram) {
  TestWindow window(guard);
  std::vector<std::string> edits;
  Edit edit(window, {.id = 1, .rect = {0, 0, 100, 20}},
            [&](std::string text) { edits.push_back(std::move(text)); });
  edit.SetValue("プログラム");
  EXPECT_TRUE(edits.empty());
  SetWindowTextW(edit.hwnd(), L"\u5165\u529b");  // as if typed
  EXPECT_EQ(edits, std::vector<std::string>{"入力"});

  std::vector<int> selections;
  ComboBox combo(window, {.id = 2, .rect = {0, 30, 100, 20}},
                 [&](int index) { selections.push_back(index); });
  constexpr std::string_view kItems[] = {"CTRL", "SHIFT", "Alt"};
  combo.SetItems(kItems);
  combo.Select(2);
  EXPECT_EQ(combo.SelectedIndex(), 2);
  combo.Select(7);
  EXPECT_EQ(combo.SelectedIndex(), -1);
  EXPECT_TRUE(selections.empty());
}

struct SpinCase {
  const char* name;
  const wchar_t* typed;
  int value;
};

TEST_F(WindowTest, SpinEditKeepsItsValueInRange) {
  TestWindow window(guard);
  std::vector<int> changes;
  SpinEdit spin(window, {.id = 3, .rect = {0, 0, 80, 22}}, files::kWindowWaitRange, 100,
                [&](int value) { changes.push_back(value); });
  EXPECT_EQ(spin.Value(), 100);
  EXPECT_EQ(spin.Text(), "100");

  constexpr SpinCase kCases[] = {
      {"inside", L"250", 250}, {"blanks around", L" 250 ", 250}, {"above", L"5000", 2000},
      {"below", L"5", 10},     {"not a number", L"", 10},        {"upper bound", L"2000", 2000},
  };
  for (const SpinCase& c : kCases) {
    SetWindowTextW(spin.hwnd(), c.typed);
    EXPECT_EQ(spin.Value(), c.value) << c.name;
  }
  // A change of the value is reported once; the same value again is not.
  EXPECT_EQ(changes, (std::vector<int>{250, 2000, 10, 2000}));

  spin.SetValue(-3);
  EXPECT_EQ(spin.Value(), 10);
  EXPECT_EQ(spin.Text(), "10");
  EXPECT_EQ(changes.size(), 4u);
}

TEST_F(WindowTest, MemoAppendsWithoutTouchingWhatIsThere) {
  TestWindow window(guard);
  Memo memo(window, {.id = 4, .rect = {0, 0, 200, 100}, .style = WS_VSCROLL | WS_HSCROLL});
  memo.SetValue("一\r\n二\r\n");
  SendMessageW(memo.hwnd(), EM_SETSEL, 1, 1);
  memo.Append("三\r\n");
  EXPECT_EQ(memo.Text(), "一\r\n二\r\n三\r\n");
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(memo.hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1u);  // the user's caret stays where it was
  EXPECT_EQ(memo.LineCount(), 4);
  memo.RemoveLines(1, 1);
  EXPECT_EQ(memo.Text(), "一\r\n三\r\n");
  memo.RemoveLines(0, 1);
  EXPECT_EQ(memo.Text(), "三\r\n");
}

TEST_F(WindowTest, ListViewAsksForTheCellsItShows) {
  TestWindow window(guard);
  ListView list(window, {.id = 5, .rect = {0, 0, 200, 150}}, [](int row, int column) {
    return std::to_string(row) + ":" + std::to_string(column);
  });
  list.AddColumn("キー", 45);
  list.AddColumn("値", 61);
  list.SetRowCount(1000);
  EXPECT_EQ(list.RowCount(), 1000);
  wchar_t text[32] = {};
  LVITEMW item{};
  item.iSubItem = 1;
  item.pszText = text;
  item.cchTextMax = 32;
  SendMessageW(list.hwnd(), LVM_GETITEMTEXTW, 999, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, L"999:1");
  list.SelectRow(3);
  EXPECT_EQ(list.SelectedRow(), 3);
  list.SelectRow(-1);
  EXPECT_EQ(list.SelectedRow(), -1);
}

}  // namespace
}  // namespace talvorine::win32
