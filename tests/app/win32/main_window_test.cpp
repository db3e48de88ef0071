#include "app/win32/talvorine_main.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/error_record.h"
#include "common/handler_guard.h"
#include "ui/win32/dpi.h"
#include "ui/win32/pump.h"
#include "ui/win32/value_list_editor.h"
#include "ui/win32/wide_text.h"

namespace talvorine::win32 {
namespace {

class RecordingEvents : public MainWindowEvents {
 public:
  void Button1Click() override { calls.push_back("Button1Click"); }
  void Button2Click() override { calls.push_back("Button2Click"); }
  void Button3Click() override { calls.push_back("Button3Click"); }
  void Button4Click() override { calls.push_back("Button4Click"); }
  void RegKeyClick() override { calls.push_back("RegKeyClick"); }
  void UnRegKeyClick() override { calls.push_back("UnRegKeyClick"); }
  void NWKeySetClick() override { calls.push_back("NWKeySetClick"); }
  void NWKeyUnsetClick() override { calls.push_back("NWKeyUnsetClick"); }
  void ReloadTimeChange() override { calls.push_back("ReloadTimeChange"); }
  void Button5Click() override { calls.push_back("Button5Click"); }
  void Button6Click(std::span<const std::size_t>) override { calls.push_back("Button6Click"); }
  void FormDropFiles(std::span<const std::string> paths) override {
    dropped.assign(paths.begin(), paths.end());
  }
  void Label6Click() override { calls.push_back("Label6Click"); }
  void Label11Click() override { calls.push_back("Label11Click"); }
  void WMHotKey(std::uintptr_t id) override { calls.push_back("WMHotKey " + std::to_string(id)); }
  void V1Click() override { calls.push_back("V1Click"); }
  void Q1Click() override { calls.push_back("Q1Click"); }
  void TrayIcon1Restore() override { calls.push_back("TrayIcon1Restore"); }
  void Close() override { calls.push_back("Close"); }
  std::intptr_t WMEndSession(std::uint32_t message, std::uintptr_t w_param) override {
    calls.push_back("WMEndSession " + std::to_string(message) + " " + std::to_string(w_param));
    return message == WM_ENDSESSION && w_param == 0 ? 0 : 1;
  }

  std::vector<std::string> calls;
  std::vector<std::string> dropped;
};

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    window = std::make_unique<MainWindow>(guard, MainWindowModel{settings, table, events});
  }

  HWND Control(int id) const {
    struct Search {
      int id;
      HWND found = nullptr;
    } search{id};
    EnumChildWindows(
        window->hwnd(),
        [](HWND child, LPARAM data) -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          if (GetDlgCtrlID(child) == s->id) {
            s->found = child;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  // A change as the user makes it: the control notifies its parent itself.
  void Click(int id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }
  void ChooseItem(int id, int index) {
    HWND combo = Control(id);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
  }
  void Type(int id, const wchar_t* text) {
    HWND edit = Control(id);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
  }
  SIZE ClientSize() const {
    RECT client;
    GetClientRect(window->hwnd(), &client);
    return {client.right, client.bottom};
  }

  MemoryErrorRecord record;
  HandlerGuard guard{record};
  files::Settings settings;
  lookup::PhraseTable table = lookup::PhraseTable::OneEmptyRow();
  RecordingEvents events;
  std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, StartsHiddenAtItsSizeWithTheAboutTabInFront) {
  EXPECT_FALSE(window->IsVisible());
  const SIZE client = ClientSize();
  EXPECT_EQ(client.cx, window->Scale(407));
  EXPECT_EQ(client.cy, window->Scale(517));
  EXPECT_EQ(window->SelectedTab(), 3);
  wchar_t caption[32] = {};
  GetWindowTextW(window->hwnd(), caption, 32);
  EXPECT_STREQ(caption, L"Talvorine");
  // Single fixed border: no sizing frame, no maximize box.
  const LONG_PTR style = GetWindowLongPtrW(window->hwnd(), GWL_STYLE);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
}

struct CheckBoxCase {
  const char* name;
  int id;
  bool files::Settings::*field;
};

TEST_F(MainWindowTest, EveryCheckBoxWritesItsSettingAtOnce) {
  constexpr CheckBoxCase kCases[] = {
      {"CkAutoKey", 211, &files::Settings::CkAutoKey},
      {"CkAutoMin", 212, &files::Settings::CkAutoMin},
      {"CkRecovCB", 213, &files::Settings::CkRecovCB},
      {"CkAutoResult", 214, &files::Settings::CkAutoResult},
      {"CkNWUse", 301, &files::Settings::CkNWUse},
      {"CkNwLoadKey", 332, &files::Settings::CkNwLoadKey},
  };
  for (const CheckBoxCase& c : kCases) {
    ASSERT_NE(Control(c.id), nullptr) << c.name;
    Click(c.id);
    EXPECT_TRUE(settings.*c.field) << c.name;
    Click(c.id);
    EXPECT_FALSE(settings.*c.field) << c.name;
  }
}

struct ListCase {
  const char* name;
  int id;
  int files::Settings::*field;
  int choice;
};

TEST_F(MainWindowTest, EveryKeyListWritesItsSettingAtOnce) {
  window->FillLanKeyLists();
  constexpr ListCase kCases[] = {
      {"Metakey", 206, &files::Settings::Metakey, 4},
      {"Key", 208, &files::Settings::Key, 44},
      {"Metakey_get", 311, &files::Settings::Metakey_get, 1},
      {"Key_get", 312, &files::Settings::Key_get, 20},
      {"Metakey_set", 314, &files::Settings::Metakey_set, 2},
      {"Key_set", 315, &files::Settings::Key_set, 21},
      {"Metakey_send_set", 317, &files::Settings::Metakey_send_set, 3},
      {"Key_send_set", 318, &files::Settings::Key_send_set, 22},
      {"Metakey_fsend_set", 320, &files::Settings::Metakey_fsend_set, 5},
      {"Key_fsend_set", 321, &files::Settings::Key_fsend_set, 23},
  };
  for (const ListCase& c : kCases) {
    ASSERT_NE(Control(c.id), nullptr) << c.name;
    ChooseItem(c.id, c.choice);
    EXPECT_EQ(settings.*c.field, c.choice) << c.name;
  }
  // The LAN lists took the start hotkey's items: 6 modifiers and 45 keys.
  EXPECT_EQ(SendMessageW(Control(311), CB_GETCOUNT, 0, 0), 6);
  EXPECT_EQ(SendMessageW(Control(321), CB_GETCOUNT, 0, 0), 45);
}

struct SpinCase {
  const char* name;
  int id;
  int files::Settings::*field;
  const wchar_t* typed;
  int value;
  bool reload_time_change;
};

TEST_F(MainWindowTest, SpinEditsWriteTheirValueInRange) {
  constexpr SpinCase kCases[] = {
      {"WindowWait", 216, &files::Settings::WindowWait, L"350", 350, true},
      {"WindowWait above", 216, &files::Settings::WindowWait, L"9999", 2000, true},
      {"NWChannel", 306, &files::Settings::NWChannel, L"7", 7, false},
      {"NWChannel below", 306, &files::Settings::NWChannel, L"0", 1, false},
      {"ReloadTime", 608, &files::Settings::ReloadTime, L"240", 240, true},
      {"ReloadTime not a number", 608, &files::Settings::ReloadTime, L"", 1, true},
  };
  for (const SpinCase& c : kCases) {
    events.calls.clear();
    Type(c.id, c.typed);
    EXPECT_EQ(settings.*c.field, c.value) << c.name;
    const bool told = !events.calls.empty() && events.calls.back() == "ReloadTimeChange";
    EXPECT_EQ(told, c.reload_time_change) << c.name;
  }
}

TEST_F(MainWindowTest, TheAddressBoxWritesItsText) {
  Type(303, L"127.0.0.255");
  EXPECT_EQ(settings.IPaddr, "127.0.0.255");
}

TEST_F(MainWindowTest, LoadedSettingsAreShown) {
  window->FillLanKeyLists();
  settings.CkAutoMin = true;
  settings.Key = 99;  // outside the list: nothing selected
  settings.Key_fsend_set = 40;
  settings.NWChannel = 12;
  settings.IPaddr = "10.1.2.255";
  settings.InetWordFiles = {"http://127.0.0.1/a.tvw", "C:\\単語.tvw"};
  window->RefreshFromSettings();
  EXPECT_EQ(SendMessageW(Control(212), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(Control(208), CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessageW(Control(321), CB_GETCURSEL, 0, 0), 40);
  wchar_t text[64] = {};
  GetWindowTextW(Control(306), text, 64);
  EXPECT_STREQ(text, L"12");
  GetWindowTextW(Control(303), text, 64);
  EXPECT_STREQ(text, L"10.1.2.255");
  EXPECT_EQ(SendMessageW(Control(602), LB_GETCOUNT, 0, 0), 2);
  // Showing is not changing: no setting was written back.
  EXPECT_EQ(settings.Key, 99);
}

TEST_F(MainWindowTest, ButtonsAndLinksGoToTheirHandlers) {
  for (int id : {201, 202, 203, 204, 209, 210, 330, 331, 605}) {
    Click(id);
  }
  EXPECT_EQ(events.calls,
            (std::vector<std::string>{"Button1Click", "Button2Click", "Button3Click",
                                      "Button4Click", "RegKeyClick", "UnRegKeyClick",
                                      "NWKeySetClick", "NWKeyUnsetClick", "Button5Click"}));
  events.calls.clear();
  for (int id : {415, 416}) {
    SendMessageW(GetParent(Control(id)), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(id)));
  }
  EXPECT_EQ(events.calls, (std::vector<std::string>{"Label6Click", "Label11Click"}));
}

TEST_F(MainWindowTest, MessagesOfTheSystemGoToTheirHandlers) {
  EXPECT_EQ(SendMessageW(window->hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 1);
  EXPECT_EQ(SendMessageW(window->hwnd(), 0x003B, 0, 0), 1);
  EXPECT_EQ(SendMessageW(window->hwnd(), WM_ENDSESSION, 0, 0), 0);
  SendMessageW(window->hwnd(), WM_HOTKEY, 3, 0);
  SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(events.calls, (std::vector<std::string>{"WMEndSession 17 0", "WMEndSession 59 0",
                                                    "WMEndSession 22 0", "WMHotKey 3", "Close"}));
  // Closing is the core's decision: the window is still there.
  EXPECT_TRUE(IsWindow(window->hwnd()));
}

TEST_F(MainWindowTest, DroppedFilesArriveAsCp932Paths) {
  window->AcceptDroppedFiles();
  const std::wstring files =
      std::wstring(L"C:\\\u81ea\u52d5\u8aad\u8fbc.tvw") + L'\0' + L"C:\\b.txt" + L'\0' + L'\0';
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + files.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(drop + 1, files.data(), files.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  SendMessageW(window->hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  EXPECT_EQ(events.dropped, (std::vector<std::string>{"C:\\自動読込.tvw", "C:\\b.txt"}));
}

TEST_F(MainWindowTest, ANewDpiScalesTheWindowAndItsControls) {
  RECT suggested;
  GetWindowRect(window->hwnd(), &suggested);
  const SIZE outer = OuterSizeForClient(407, 517, GetWindowLongW(window->hwnd(), GWL_STYLE),
                                        GetWindowLongW(window->hwnd(), GWL_EXSTYLE), 192);
  suggested.right = suggested.left + outer.cx;
  suggested.bottom = suggested.top + outer.cy;
  SendMessageW(window->hwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(window->dpi(), 192u);
  RECT tabs;
  GetWindowRect(Control(10), &tabs);
  EXPECT_EQ(tabs.right - tabs.left, 814);
  EXPECT_EQ(tabs.bottom - tabs.top, 1034);
  RECT button;
  GetWindowRect(Control(201), &button);
  EXPECT_EQ(button.right - button.left, 340);
}

// ---- the phrase table editor -----------------------------------------------------------------

class ValueListEditorTest : public MainWindowTest {
 protected:
  ValueListEditorTest() {
    window->SelectTab(0);
    list = Control(101);
    SetFocus(list);
  }
  void Key(WPARAM key, bool ctrl = false) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(state);
    SendMessageW(list, WM_KEYDOWN, key, 0);
    state[VK_CONTROL] = 0;
    SetKeyboardState(state);
  }
  // The user puts the selection on a row (a click).
  void PutSelectionOn(int row) {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }
  int SelectedRow() const {
    return static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  }
  // The in-place editor, when it is shown (the window itself stays hidden in these tests).
  HWND Editor() const {
    HWND editor = Control(102);
    const bool shown =
        editor != nullptr && (GetWindowLongPtrW(editor, GWL_STYLE) & WS_VISIBLE) != 0;
    return shown ? editor : nullptr;
  }
  HWND list = nullptr;
};

TEST(TableLine, SplitsAtTheFirstEqualsSignAndJoinsBack) {
  struct Case {
    const char* line;
    const char* key;
    const char* value;
    const char* joined;  // the line the two halves make again
  };
  constexpr Case kCases[] = {
      {"aa=あいさつ", "aa", "あいさつ", "aa=あいさつ"},
      {"a=b=c", "a", "b=c", "a=b=c"},
      {"cc", "cc", "", "cc="},  // a line without "=" gains one when its halves are joined
      {"=x", "", "x", "=x"},
      {"", "", "", ""},  // an empty row stays empty
  };
  for (const Case& c : kCases) {
    const KeyValue parts = SplitTableLine(c.line);
    EXPECT_EQ(parts.key, c.key) << c.line;
    EXPECT_EQ(parts.value, c.value) << c.line;
    EXPECT_EQ(JoinTableLine(parts.key, parts.value), c.joined) << c.line;
  }
}

TEST_F(ValueListEditorTest, InsertDownAndCtrlDeleteEditTheTableRows) {
  table = lookup::PhraseTable({"aa=1", "bb=2"});
  window->RefreshMainTable();
  PutSelectionOn(1);
  ASSERT_EQ(SelectedRow(), 1);
  Key(VK_INSERT);  // above the current row
  EXPECT_EQ(table.lines(), (std::vector<std::string>{"aa=1", "", "bb=2"}));
  EXPECT_EQ(SelectedRow(), 1);
  Key(VK_DOWN);  // not the last row: the list moves, nothing is added
  EXPECT_EQ(table.size(), 3u);
  PutSelectionOn(2);
  Key(VK_DOWN);  // the last row: one is appended
  EXPECT_EQ(table.lines(), (std::vector<std::string>{"aa=1", "", "bb=2", ""}));
  Key(VK_DOWN);  // the last row is still empty: no second one
  EXPECT_EQ(table.size(), 4u);
  Key(VK_DELETE);  // Delete alone deletes nothing
  EXPECT_EQ(table.size(), 4u);
  Key(VK_DELETE, /*ctrl=*/true);
  EXPECT_EQ(table.lines(), (std::vector<std::string>{"aa=1", "", "bb=2"}));
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
}

TEST_F(ValueListEditorTest, CellsAreEditedInPlaceIntoTheTable) {
  // The one empty row of a new window: F2 edits its key.
  Key(VK_F2);
  ASSERT_NE(Editor(), nullptr);
  SendMessageW(Editor(), WM_CHAR, L'=', 0);  // no "=" in a key
  SetWindowTextW(Editor(), L"ai");
  SendMessageW(Editor(), WM_KEYDOWN, VK_TAB, 0);  // on to the value
  ASSERT_NE(Editor(), nullptr);
  SetWindowTextW(Editor(), L"\u611b");
  SendMessageW(Editor(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(table.lines(), std::vector<std::string>{"ai=愛"});
  // Escape leaves the cell as it was.
  Key(VK_RETURN);
  ASSERT_NE(Editor(), nullptr);
  SetWindowTextW(Editor(), L"xx");
  SendMessageW(Editor(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(table.lines(), std::vector<std::string>{"ai=愛"});
  // Typing on a row starts editing the current cell with what was typed; Left went back to
  // the key.
  SendMessageW(list, WM_KEYDOWN, VK_LEFT, 0);
  SendMessageW(list, WM_CHAR, L'k', 0);
  ASSERT_NE(Editor(), nullptr);
  wchar_t text[16] = {};
  GetWindowTextW(Editor(), text, 16);
  EXPECT_STREQ(text, L"k");
  SendMessageW(Editor(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(table.lines(), std::vector<std::string>{"k=愛"});
}

TEST_F(ValueListEditorTest, ALineWithoutEqualsSignStaysAsItIsUnlessItIsChanged) {
  table = lookup::PhraseTable({"no equals sign"});
  window->RefreshMainTable();
  SendMessageW(list, WM_KEYDOWN, VK_RIGHT, 0);  // the value column
  Key(VK_RETURN);
  ASSERT_NE(Editor(), nullptr);
  SendMessageW(Editor(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(table.lines(), std::vector<std::string>{"no equals sign"});
}

}  // namespace
}  // namespace talvorine::win32
