// The candidate window on the real desktop (under Wine here): its look, the virtual list drawn
// from the lookup, and keys and activation reaching TForm2.
#include "desktop/win32/talvorine_result.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "common/error_record.h"
#include "common/handler_guard.h"
#include "desktop/fake_candidate_view.h"
#include "desktop/win32/win32_desktop.h"
#include "lookup/japanese_regional_format.h"
#include "support/fake_timers.h"
#include "support/manual_clock.h"

namespace talvorine::win32 {
namespace {

class CandidateWindowTest : public ::testing::Test {
 protected:
  CandidateWindowTest() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"TalvorineResultTestMain";
    RegisterClassW(&window_class);
    main_window_ =
        CreateWindowExW(0, L"TalvorineResultTestMain", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    desktop_.SetMainWindow(main_window_);
    window_ = std::make_unique<CandidateWindow>(
        guard_, main_window_,
        desktop::CandidateWindowParts{desktop_, timers_, inserter_, settings_, main_table_,
                                      web_table_, clock_, regional_format_});
  }
  ~CandidateWindowTest() override {
    window_.reset();
    DestroyWindow(main_window_);
  }

  HWND list() const { return window_->list_hwnd(); }
  int RowCount() const { return static_cast<int>(SendMessageW(list(), LVM_GETITEMCOUNT, 0, 0)); }
  int SelectedRow() const {
    return static_cast<int>(
        SendMessageW(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  }
  std::wstring Cell(int row, int column) const {
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(list(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return text;
  }
  std::wstring HeaderText(int column) const {
    wchar_t text[64] = {};
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT;
    info.pszText = text;
    info.cchTextMax = 64;
    SendMessageW(list(), LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&info));
    return text;
  }
  void Press(WPARAM key) { SendMessageW(list(), WM_KEYDOWN, key, 1); }

  MemoryErrorRecord record_;
  HandlerGuard guard_{record_};
  HWND main_window_ = nullptr;
  Win32Desktop desktop_;
  testing::FakeTimers timers_;
  std::vector<std::string> log_;
  desktop::RecordingInserter inserter_{log_};
  files::Settings settings_;
  lookup::PhraseTable main_table_{std::vector<std::string>{"ab=あいう", "ac=かきく", "b=さしす"}};
  lookup::PhraseTable web_table_{std::vector<std::string>{"ad=ウェブ"}};
  testing::ManualClock clock_{{2026, 5, 1, 9, 5, 5}};
  lookup::JapaneseRegionalFormat regional_format_;
  std::unique_ptr<CandidateWindow> window_;
};

TEST_F(CandidateWindowTest, LooksAsDesigned) {
  wchar_t caption[32] = {};
  GetWindowTextW(window_->hwnd(), caption, 32);
  EXPECT_STREQ(caption, L"候補");
  const LONG_PTR style = GetWindowLongPtrW(window_->hwnd(), GWL_STYLE);
  const LONG_PTR ex_style = GetWindowLongPtrW(window_->hwnd(), GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_THICKFRAME) << "the user cannot resize it";
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(ex_style & WS_EX_TOPMOST);
  EXPECT_FALSE(window_->IsVisible()) << "hidden at creation";
  EXPECT_EQ(GetWindow(window_->hwnd(), GW_OWNER), main_window_);

  const LONG_PTR list_style = GetWindowLongPtrW(list(), GWL_STYLE);
  EXPECT_TRUE(list_style & LVS_OWNERDATA);
  EXPECT_TRUE(list_style & LVS_REPORT);
  EXPECT_FALSE(list_style & LVS_EDITLABELS) << "no cell can be edited";
  const LRESULT extended = SendMessageW(list(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
  EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
  EXPECT_EQ(HeaderText(0), L"キー");
  EXPECT_EQ(HeaderText(1), L"値");
  EXPECT_EQ(SendMessageW(list(), LVM_GETCOLUMNWIDTH, 0, 0), window_->Scale(45));
  EXPECT_GE(SendMessageW(list(), LVM_GETCOLUMNWIDTH, 1, 0), window_->Scale(61) - 2);
}

TEST_F(CandidateWindowTest, TheSizeFromTheSettingsIsTheOuterSizeAndTheListFillsIt) {
  window_->form().ApplySettingsSize();
  RECT outer{};
  GetWindowRect(window_->hwnd(), &outer);
  EXPECT_EQ(outer.right - outer.left, 116);
  EXPECT_EQ(outer.bottom - outer.top, 225);
  RECT client{};
  RECT list_rect{};
  GetClientRect(window_->hwnd(), &client);
  GetClientRect(list(), &list_rect);
  EXPECT_NEAR(list_rect.right, client.right, 1);
  EXPECT_NEAR(list_rect.bottom, client.bottom, 1);
}

TEST_F(CandidateWindowTest, ShowingListsBothTablesDrawnFromTheLookup) {
  window_->form().Show();
  EXPECT_TRUE(window_->IsVisible());
  ASSERT_EQ(RowCount(), 4);
  EXPECT_EQ(Cell(0, 0), L"ab");
  EXPECT_EQ(Cell(0, 1), L"あいう");
  EXPECT_EQ(Cell(3, 0), L"ad");
  EXPECT_EQ(Cell(3, 1), L"ウェブ");
  EXPECT_EQ(SelectedRow(), 0);
}

TEST_F(CandidateWindowTest, KeysNarrowMoveAndConfirm) {
  window_->form().Show();
  Press('A');
  EXPECT_EQ(RowCount(), 3);
  Press(VK_DOWN);
  EXPECT_EQ(SelectedRow(), 1);
  EXPECT_EQ(window_->form().lookup().selection_row(), 2u);
  Press(VK_RETURN);
  EXPECT_FALSE(window_->IsVisible());
  EXPECT_EQ(inserter_.texts, std::vector<std::string>{"かきく"});
}

TEST_F(CandidateWindowTest, TypedCharactersDoNotMoveTheSelectionBehindTheLookup) {
  window_->form().Show();
  Press(VK_END);
  EXPECT_EQ(SelectedRow(), 3);
  SendMessageW(list(), WM_CHAR, L'a', 1);  // the list's own type-ahead would jump to "ab"
  EXPECT_EQ(SelectedRow(), 3);
  EXPECT_EQ(window_->form().lookup().selection_row(), 4u);
}

TEST_F(CandidateWindowTest, AnEmptyListShowsOneEmptyRow) {
  window_->form().Show();
  Press('Z');
  Press('Z');
  ASSERT_EQ(RowCount(), 1);
  EXPECT_EQ(Cell(0, 0), L"");
  EXPECT_EQ(Cell(0, 1), L"");
}

TEST_F(CandidateWindowTest, AMillionCandidatesShowAtOnce) {
  std::vector<std::string> lines;
  lines.reserve(1000000);
  for (int i = 0; i < 1000000; ++i) {
    lines.push_back("k" + std::to_string(i) + "=phrase");
  }
  main_table_ = lookup::PhraseTable(std::move(lines));
  window_->form().Show();
  EXPECT_EQ(RowCount(), 1000001);
  EXPECT_EQ(Cell(999999, 0), L"k999999");
}

TEST_F(CandidateWindowTest, AnotherWindowTakingTheActivationHidesIt) {
  window_->form().Show();
  ShowWindow(main_window_, SW_SHOW);
  SetActiveWindow(main_window_);
  EXPECT_FALSE(window_->IsVisible());
  EXPECT_FALSE(window_->form().AwaitingInput());
  EXPECT_TRUE(inserter_.texts.empty());
}

TEST_F(CandidateWindowTest, ClosingOnlyHidesIt) {
  window_->form().Show();
  SendMessageW(window_->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window_->hwnd()));
  EXPECT_FALSE(window_->IsVisible());
}

TEST_F(CandidateWindowTest, ClickingARowSelectsIt) {
  window_->form().Show();
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageW(list(), LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
  SendMessageW(list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.left + 5, row.top + 2));
  EXPECT_EQ(window_->form().lookup().selection_row(), 3u);
  EXPECT_EQ(SelectedRow(), 2);
}

}  // namespace
}  // namespace talvorine::win32
