#include "desktop/hotkeys.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "desktop/hotkey_binding.h"
#include "support/fake_desktop.h"

namespace talvorine::desktop {
namespace {

using testing::FakeDesktop;
using Combination = std::pair<std::uint32_t, std::uint16_t>;

class HotkeysTest : public ::testing::Test {
 protected:
  FakeDesktop desktop;
  files::Settings settings;
  Hotkeys hotkeys{desktop, settings};
};

struct StartBindingCase {
  const char* name;
  int metakey;
  int key;
  Combination registered;
};

constexpr StartBindingCase kStartBindingCases[] = {
    {"default CTRL + SPACE", 0, 0, {kModControl, 0x20}},
    {"CTRL+ALT + Z", 4, 44, {kModControl | kModAlt, 0x5A}},
    {"SHIFT+ALT + 1", 5, 10, {kModShift | kModAlt, 0x31}},
    {"CTRL+SHIFT + Print", 3, 5, {kModControl | kModShift, 0x2A}},
    {"no modifier selected", -1, 19, {0, 0x41}},
    {"no key selected", 2, -1, {kModAlt, 0x20}},
};

TEST_F(HotkeysTest, RegKeyRegistersTheStartHotkeyFromItsLists) {
  for (const auto& c : kStartBindingCases) {
    FakeDesktop fresh;
    Hotkeys keys{fresh, settings};
    settings.Metakey = c.metakey;
    settings.Key = c.key;
    keys.RegKeyClick();
    // Held down, the start key reports one press: registered without key repeat.
    const std::map<int, std::vector<Combination>> expected = {
        {HK_START, {{c.registered.first | kModNoRepeat, c.registered.second}}}};
    EXPECT_EQ(fresh.registered_hotkeys, expected) << c.name;
    EXPECT_TRUE(fresh.message_boxes.empty()) << c.name << ": success shows nothing";
  }
}

TEST_F(HotkeysTest, RegKeyPressedTwiceReportsTheCombinationTaken) {
  hotkeys.RegKeyClick();
  hotkeys.RegKeyClick();
  ASSERT_EQ(desktop.message_boxes.size(), 1u);
  EXPECT_EQ(desktop.message_boxes[0].text,
            "現在の設定キーは、別のアプリケーションにより使用されています。別のキーに割り当てなおし"
            "てください。");
  EXPECT_EQ(desktop.message_boxes[0].caption, "割り当て失敗");
  EXPECT_EQ(desktop.message_boxes[0].style, MessageBoxStyle::kOk);
}

TEST_F(HotkeysTest, ANewStartBindingLeavesTheEarlierOneInForce) {
  hotkeys.RegKeyClick();
  settings.Key = 44;  // "Z"
  hotkeys.RegKeyClick();
  const std::vector<Combination> expected = {{kModControl | kModNoRepeat, 0x20},
                                             {kModControl | kModNoRepeat, 0x5A}};
  EXPECT_EQ(desktop.registered_hotkeys[HK_START], expected);
  EXPECT_TRUE(desktop.message_boxes.empty());
  EXPECT_EQ(desktop.log.front(), "RegisterHotKey 0 16386 0x20") << "nothing is unregistered first";
}

struct TakenCase {
  int id;
  std::string_view text;
};

// The HK_GET text has full-width parentheses, the later three half-width ones.
constexpr TakenCase kTakenCases[] = {
    {HK_GET,
     "現在の設定キー（受け取り）は、別のアプリケーションにより使用されています。別のキーに割り当て"
     "なおしてください。"},
    {HK_SET,
     "現在の設定キー(受け渡し)"
     "は、別のアプリケーションにより使用されています。別のキーに割り当てなおしてください。"},
    {HK_SEND,
     "現在の設定キー(コピー&送信)"
     "は、別のアプリケーションにより使用されています。別のキーに割り当てなおしてください。"},
    {HK_FSEND,
     "現在の設定キー(ファイル送信)"
     "は、別のアプリケーションにより使用されています。別のキーに割り当てなおしてください。"},
};

TEST_F(HotkeysTest, NWKeySetShowsTheFailureOfEachTakenIdAndRegistersTheRest) {
  // Default LAN bindings: CTRL with "3", "1", "5", "6".
  const std::map<int, Combination> defaults = {{HK_GET, {kModControl, 0x33}},
                                               {HK_SET, {kModControl, 0x31}},
                                               {HK_SEND, {kModControl, 0x35}},
                                               {HK_FSEND, {kModControl, 0x36}}};
  for (const auto& c : kTakenCases) {
    FakeDesktop fresh;
    Hotkeys keys{fresh, settings};
    fresh.TakeCombination(defaults.at(c.id).first, defaults.at(c.id).second);
    keys.NWKeySetClick();
    ASSERT_EQ(fresh.message_boxes.size(), 1u) << "id " << c.id;
    EXPECT_EQ(fresh.message_boxes[0].text, c.text) << "id " << c.id;
    EXPECT_EQ(fresh.message_boxes[0].caption, "割り当て失敗") << "id " << c.id;
    std::map<int, std::vector<Combination>> expected;
    for (const auto& [id, combination] : defaults) {
      if (id != c.id) {
        expected[id] = {combination};
      }
    }
    EXPECT_EQ(fresh.registered_hotkeys, expected) << "id " << c.id;
  }
}

TEST_F(HotkeysTest, NWKeySetRegistersInOrderAndGoesOnAfterAClosedBox) {
  settings.Metakey_set = 4;  // CTRL+ALT
  settings.Key_set = 44;     // "Z"
  desktop.TakeCombination(kModControl | kModAlt, 0x5A);
  hotkeys.NWKeySetClick();
  const std::vector<std::string> expected = {
      "RegisterHotKey 1 2 0x33",
      "RegisterHotKey 2 3 0x5A",
      "MessageBox 割り当て失敗: "
      "現在の設定キー(受け渡し)"
      "は、別のアプリケーションにより使用されています。別のキーに割り当てなおしてください。",
      "RegisterHotKey 3 2 0x35",
      "RegisterHotKey 4 2 0x36",
  };
  EXPECT_EQ(desktop.log, expected);
}

TEST_F(HotkeysTest, UnregisteringAlwaysConfirms) {
  hotkeys.UnRegKeyClick();  // nothing registered
  hotkeys.NWKeySetClick();
  desktop.log.clear();
  hotkeys.NWKeyUnsetClick();
  const std::vector<std::string> expected_lan = {"UnregisterHotKey 1", "UnregisterHotKey 2",
                                                 "UnregisterHotKey 3", "UnregisterHotKey 4",
                                                 "MessageBox 割り当て解除: キーを解除しました。"};
  EXPECT_EQ(desktop.log, expected_lan);
  EXPECT_TRUE(desktop.registered_hotkeys.empty());
  ASSERT_EQ(desktop.message_boxes.size(), 2u);
  for (const auto& box : desktop.message_boxes) {
    EXPECT_EQ(box.text, "キーを解除しました。");
    EXPECT_EQ(box.caption, "割り当て解除");
    EXPECT_EQ(box.style, MessageBoxStyle::kOk);
  }
}

TEST_F(HotkeysTest, UnRegKeyFreesTheStartCombinationForTheNextRegKey) {
  hotkeys.RegKeyClick();
  hotkeys.UnRegKeyClick();
  hotkeys.RegKeyClick();
  EXPECT_EQ(desktop.registered_hotkeys[HK_START].size(), 1u);
  EXPECT_EQ(desktop.message_boxes.size(), 1u) << "only the confirmation";
}

struct StartupCase {
  bool auto_key;
  bool nw_load_key;
  std::vector<int> registered_ids;
};

TEST_F(HotkeysTest, StartUpRegistersWhatTheCheckBoxesAskFor) {
  const StartupCase cases[] = {{false, false, {}},
                               {true, false, {0}},
                               {false, true, {1, 2, 3, 4}},
                               {true, true, {0, 1, 2, 3, 4}}};
  for (const auto& c : cases) {
    FakeDesktop fresh;
    Hotkeys keys{fresh, settings};
    settings.CkAutoKey = c.auto_key;
    settings.CkNwLoadKey = c.nw_load_key;
    keys.RegisterAtStartup();
    std::vector<int> ids;
    for (const auto& [id, combinations] : fresh.registered_hotkeys) {
      ids.push_back(id);
    }
    EXPECT_EQ(ids, c.registered_ids)
        << "CkAutoKey " << c.auto_key << " CkNwLoadKey " << c.nw_load_key;
  }
}

TEST_F(HotkeysTest, AStartHotkeyTakenElsewhereIsReportedAtStartUpAndTheLanKeysStillComeIn) {
  settings.CkAutoKey = true;
  settings.CkNwLoadKey = true;
  desktop.TakeCombination(kModControl, 0x20);
  hotkeys.RegisterAtStartup();
  ASSERT_EQ(desktop.message_boxes.size(), 1u);
  EXPECT_EQ(desktop.message_boxes[0].caption, "割り当て失敗");
  EXPECT_EQ(desktop.registered_hotkeys.size(), 4u);
}

TEST_F(HotkeysTest, CloseUnregistersAllFiveQuietly) {
  settings.CkAutoKey = settings.CkNwLoadKey = true;
  hotkeys.RegisterAtStartup();
  desktop.log.clear();
  hotkeys.UnregisterAll();
  const std::vector<std::string> expected = {"UnregisterHotKey 0", "UnregisterHotKey 1",
                                             "UnregisterHotKey 2", "UnregisterHotKey 3",
                                             "UnregisterHotKey 4"};
  EXPECT_EQ(desktop.log, expected);
  EXPECT_TRUE(desktop.registered_hotkeys.empty());
  EXPECT_TRUE(desktop.message_boxes.empty());
}

class RecordingActions : public HotkeyActions {
 public:
  void PlaceAtCaret() override { calls.push_back("PlaceAtCaret"); }
  void PasteReceived() override { calls.push_back("PasteReceived"); }
  void HandOver() override { calls.push_back("HandOver"); }
  void CutAndHandOver() override { calls.push_back("CutAndHandOver"); }
  void SendFile() override { calls.push_back("SendFile"); }
  std::vector<std::string> calls;
};

struct DispatchCase {
  std::uintptr_t id;
  const char* action;  // nullptr: nothing happens
};

constexpr DispatchCase kDispatchCases[] = {
    {0, "PlaceAtCaret"}, {1, "PasteReceived"},
    {2, "HandOver"},     {3, "CutAndHandOver"},
    {4, "SendFile"},     {5, nullptr},
    {0xBFFF, nullptr},   {static_cast<std::uintptr_t>(-1), nullptr},
};

TEST(WMHotKey, EachIdLeadsToExactlyOneAction) {
  for (const auto& c : kDispatchCases) {
    RecordingActions actions;
    WMHotKey(c.id, actions);
    const std::vector<std::string> expected =
        c.action ? std::vector<std::string>{c.action} : std::vector<std::string>{};
    EXPECT_EQ(actions.calls, expected) << "id " << c.id;
  }
}

}  // namespace
}  // namespace talvorine::desktop
