#include "lan/lan_actions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/error.h"
#include "desktop/hotkey_binding.h"
#include "lan_rig.h"
#include "support/temp_dir.h"

namespace talvorine::lan {
namespace {

using testing::FakeNetwork;
using testing::LanRig;

class LanActionsTest : public ::testing::Test {
 protected:
  LanActionsTest() { rig.settings.IPaddr = "192.168.1.255"; }

  std::vector<std::string> KeysAndSleeps() const {
    std::vector<std::string> lines;
    for (const auto& line : rig.desktop.log) {
      if (line.rfind("Key ", 0) == 0 || line.rfind("Sleep ", 0) == 0) {
        lines.push_back(line);
      }
    }
    return lines;
  }

  testing::TempWorkingDir dir;
  FakeNetwork network;
  LanRig rig{network, "192.168.1.23", "PC-A"};
};

TEST_F(LanActionsTest, PasteInsertsThePasteBufferEvenWhenEmpty) {
  rig.settings.CkNWUse = false;
  rig.actions.Paste();
  rig.receiver.SetPasteBuffer("受け取った文");
  rig.actions.Paste();
  EXPECT_EQ(rig.inserter.inserted, (std::vector<std::string>{"", "受け取った文"}));
  // The keyboard is where the user left it: no wait for another program to come to the front.
  EXPECT_EQ(rig.inserter.afters,
            (std::vector<desktop::InsertAfter>{desktop::InsertAfter::kHotkey,
                                               desktop::InsertAfter::kHotkey}));
  EXPECT_TRUE(rig.endpoint.sent.empty());
}

TEST_F(LanActionsTest, HandOverTakesTheClipboardTextAndSendsIt) {
  rig.desktop.PutTextOnClipboard("要約の一文");
  rig.actions.HandOver();
  EXPECT_EQ(rig.receiver.PasteBuffer(), "要約の一文");
  ASSERT_EQ(rig.endpoint.sent.size(), 1u);
  EXPECT_EQ(rig.endpoint.sent[0].bytes, "CB:要約の一文");
  EXPECT_EQ(rig.endpoint.sent[0].host, "192.168.1.255");
  EXPECT_EQ(rig.endpoint.sent[0].port, 5505);
  EXPECT_TRUE(rig.view.log.empty()) << "the monitor box waits for the text to come back";

  network.DeliverAll();
  EXPECT_EQ(rig.view.edit1, "要約の一文");
}

TEST_F(LanActionsTest, HandOverWithoutClipboardTextSendsThePreviousBufferAgain) {
  rig.receiver.SetPasteBuffer("前の文");
  rig.desktop.PutPictureOnClipboard();
  rig.actions.HandOver();
  EXPECT_EQ(rig.receiver.PasteBuffer(), "前の文");
  ASSERT_EQ(rig.endpoint.sent.size(), 1u);
  EXPECT_EQ(rig.endpoint.sent[0].bytes, "CB:前の文");
}

TEST_F(LanActionsTest, HandOverWithSharingOffOnlyFillsTheBuffer) {
  rig.settings.CkNWUse = false;
  rig.desktop.PutTextOnClipboard("local");
  rig.actions.HandOver();
  rig.actions.Paste();
  EXPECT_TRUE(rig.endpoint.sent.empty());
  EXPECT_EQ(rig.inserter.inserted, (std::vector<std::string>{"local"}));
}

TEST_F(LanActionsTest, HandOverRaisesOnlyWhenTheClipboardCannotBeOpened) {
  rig.receiver.SetPasteBuffer("kept");
  rig.desktop.clipboard_busy = true;
  EXPECT_THROW(rig.actions.HandOver(), Error);
  EXPECT_EQ(rig.receiver.PasteBuffer(), "kept");
  EXPECT_TRUE(rig.endpoint.sent.empty());

  rig.desktop.clipboard_busy = false;
  rig.desktop.PutTextOnClipboard("new");
  rig.endpoint.fail_sends = 1;
  EXPECT_NO_THROW(rig.actions.HandOver());
  EXPECT_EQ(rig.receiver.PasteBuffer(), "new");
  EXPECT_TRUE(rig.record.lines().empty()) << "a failed hand-over is not recorded";
}

TEST_F(LanActionsTest, ALongTextIsCutOnlyWhenItComesBack) {
  const std::string text(1500, 'w');
  rig.desktop.PutTextOnClipboard(text);
  rig.actions.HandOver();
  EXPECT_EQ(rig.receiver.PasteBuffer(), text);
  EXPECT_EQ(rig.endpoint.sent.at(0).bytes.size(), 1019u);
  network.DeliverAll();
  EXPECT_EQ(rig.receiver.PasteBuffer(), std::string(1016, 'w'));
}

TEST_F(LanActionsTest, CutAndHandOverTypesTheExactSequence) {
  struct Case {
    const char* name;
    std::set<std::uint16_t> held;
    int metakey_set;
    int key_set;
    std::vector<std::string> binding;  // the events of steps 6 to 8
  };
  const std::vector<std::string> cut = {"Key 0x11 down", "Key 0x41 down", "Key 0x41 up",
                                        "Key 0x58 down", "Key 0x58 up",   "Key 0x11 up",
                                        "Sleep 100"};
  const Case kCases[] = {
      {"default binding, Ctrl held",
       {desktop::kVkControl},
       0,
       10,
       {"Key 0x11 down", "Key 0x31 down", "Key 0x31 up", "Key 0x11 up"}},
      {"CTRL+ALT and Z",
       {},
       4,
       44,
       {"Key 0x11 down", "Key 0x12 down", "Key 0x5A down", "Key 0x5A up", "Key 0x11 up",
        "Key 0x12 up"}},
      {"SHIFT+ALT and 1, Alt and Shift held",
       {desktop::kVkMenu, desktop::kVkShift},
       5,
       10,
       {"Key 0x10 down", "Key 0x12 down", "Key 0x31 down", "Key 0x31 up", "Key 0x10 up",
        "Key 0x12 up"}},
      {"no selection in either list", {}, -1, -1, {"Key 0x20 down", "Key 0x20 up"}},
  };
  for (const Case& c : kCases) {
    rig.desktop.log.clear();
    rig.desktop.keys_down = c.held;
    rig.settings.Metakey_set = c.metakey_set;
    rig.settings.Key_set = c.key_set;
    rig.actions.CutAndHandOver();

    std::vector<std::string> expected = {"Sleep 100"};
    const std::pair<std::uint16_t, const char*> kModifierOrder[] = {
        {desktop::kVkControl, "0x11"}, {desktop::kVkShift, "0x10"}, {desktop::kVkMenu, "0x12"}};
    for (const auto& [key, hex] : kModifierOrder) {
      if (c.held.count(key)) {
        expected.push_back(std::string("Key ") + hex + " up");
      }
    }
    expected.insert(expected.end(), cut.begin(), cut.end());
    expected.insert(expected.end(), c.binding.begin(), c.binding.end());
    for (const auto& [key, hex] : kModifierOrder) {
      if (c.held.count(key)) {
        expected.push_back(std::string("Key ") + hex + " down");
      }
    }
    expected.push_back("Sleep 100");
    EXPECT_EQ(KeysAndSleeps(), expected) << c.name;
    EXPECT_EQ(rig.desktop.keys_down, c.held) << c.name << ": the user's keys are down again";
  }
  EXPECT_TRUE(rig.endpoint.sent.empty()) << "the hand-over itself comes as its own hotkey";
}

TEST_F(LanActionsTest, HotKeyIdsLeadToTheirActions) {
  rig.receiver.SetPasteBuffer("p");
  rig.desktop.PutTextOnClipboard("c");
  EXPECT_TRUE(rig.actions.OnHotKey(desktop::HK_GET));
  EXPECT_EQ(rig.inserter.inserted, (std::vector<std::string>{"p"}));
  EXPECT_TRUE(rig.actions.OnHotKey(desktop::HK_SET));
  EXPECT_EQ(rig.endpoint.sent.at(0).bytes, "CB:c");
  EXPECT_TRUE(rig.actions.OnHotKey(desktop::HK_SEND));
  EXPECT_FALSE(rig.desktop.key_events.empty());
  EXPECT_TRUE(rig.actions.OnHotKey(desktop::HK_FSEND));
  ASSERT_EQ(rig.dialogs.calls.size(), 1u);
  EXPECT_EQ(rig.dialogs.calls[0].id, files::FileDialogId::kSendFileDialog);

  rig.desktop.log.clear();
  EXPECT_FALSE(rig.actions.OnHotKey(desktop::HK_START));
  EXPECT_FALSE(rig.actions.OnHotKey(5));
  EXPECT_TRUE(rig.desktop.log.empty());
  EXPECT_EQ(rig.endpoint.sent.size(), 1u);
}

}  // namespace
}  // namespace talvorine::lan
