// Two PCs on one segment, each with its own LAN sharing, talking over the fake network.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/hotkey_binding.h"
#include "lan_rig.h"
#include "support/temp_dir.h"

namespace talvorine::lan {
namespace {

using desktop::MessageBoxResult;
using testing::FakeNetwork;
using testing::LanRig;
using testing::ReadFileBytes;
using testing::TempWorkingDir;
using testing::WriteFileBytes;

std::string RandomishBytes(std::size_t size, unsigned seed) {
  std::string bytes;
  unsigned state = seed;
  for (std::size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    bytes.push_back(static_cast<char>(state >> 16));
  }
  return bytes;
}

class LanExchangeTest : public ::testing::Test {
 protected:
  LanExchangeTest() {
    for (LanRig* pc : {&a, &b}) {
      pc->settings.IPaddr = "192.168.1.255";
      pc->service.Timer2Timer();
    }
    // Both PCs share this process's working directory, so only B keeps a ".\recv.tmp": A does
    // not hear its own file datagrams here (its own reception is covered on its own).
    a.endpoint.SetReceiveHandler([this](std::string_view bytes, std::string_view source) {
      if (bytes.rfind("CB", 0) == 0) {
        a.receiver.IdUDPServer1UDPRead(bytes, source);
      }
    });
  }

  TempWorkingDir dir;
  FakeNetwork network;
  LanRig a{network, "192.168.1.23", "PC-A"};
  LanRig b{network, "192.168.1.24", "PC-B"};
};

TEST_F(LanExchangeTest, AFileArrivesByteForByte) {
  const std::string bytes = RandomishBytes(100000, 7);
  const std::string source = dir.File("source.bin");
  WriteFileBytes(source, bytes);
  a.dialogs.answers = {source};
  b.desktop.message_box_answers = {MessageBoxResult::kYes};
  b.dialogs.answers = {dir.File("copy.bin")};

  a.actions.OnHotKey(desktop::HK_FSEND);
  network.DeliverAll();

  EXPECT_EQ(ReadFileBytes(dir.File("copy.bin")), bytes);
  EXPECT_EQ(b.dialogs.calls.at(0).initial_name, "source.bin");
  EXPECT_EQ(b.desktop.message_boxes.at(0).text, "PC-A からファイルが届きました。保存しますか？");
}

TEST_F(LanExchangeTest, AChunkLostOnTheWayMakesTheFileIncompleteNotWhole) {
  WriteFileBytes(dir.File("source.bin"), RandomishBytes(1000, 9));
  a.dialogs.answers = {dir.File("source.bin")};
  int chunks = 0;
  b.endpoint.SetReceiveHandler([&](std::string_view bytes, std::string_view source) {
    if (bytes.rfind("FL:", 0) == 0 && ++chunks == 2) {
      return;  // a broadcast frame that never arrived
    }
    b.receiver.IdUDPServer1UDPRead(bytes, source);
  });

  a.actions.OnHotKey(desktop::HK_FSEND);
  network.DeliverAll();

  ASSERT_EQ(b.desktop.message_boxes.size(), 1u);
  EXPECT_EQ(b.desktop.message_boxes[0].text,
            "PC-A からファイルが届きましたが、不完全です（1000 バイト中 750 バイトを受信）。"
            "それでも保存しますか？");
  EXPECT_EQ(b.desktop.message_boxes[0].style, desktop::MessageBoxStyle::kYesNoWarningNo);
  EXPECT_TRUE(b.dialogs.calls.empty()) << "No is what a dismissed question means";
}

TEST_F(LanExchangeTest, AHandedOverTextCanBePastedOnTheOtherPc) {
  a.desktop.PutTextOnClipboard("いま話している文");
  a.actions.OnHotKey(desktop::HK_SET);
  network.DeliverAll();
  EXPECT_EQ(b.view.edit1, "いま話している文");
  EXPECT_EQ(a.view.edit1, "いま話している文") << "the sender hears its own hand-over";
  b.actions.OnHotKey(desktop::HK_GET);
  EXPECT_EQ(b.inserter.inserted, (std::vector<std::string>{"いま話している文"}));
}

TEST_F(LanExchangeTest, ASecondSendStartedInsideTheFirstIsTheOneReceived) {
  const std::string first = RandomishBytes(2000, 1);
  const std::string second = RandomishBytes(700, 2);
  WriteFileBytes(dir.File("first.bin"), first);
  WriteFileBytes(dir.File("second.bin"), second);
  a.dialogs.answers = {dir.File("first.bin"), dir.File("second.bin")};
  b.desktop.message_box_answers = {MessageBoxResult::kYes};
  b.dialogs.answers = {dir.File("kept.bin")};
  int pumps = 0;
  a.desktop.on_process_messages = [&] {
    network.DeliverAll();
    if (++pumps == 2) {
      a.actions.OnHotKey(desktop::HK_FSEND);  // the user presses the hotkey again meanwhile
    }
  };
  a.actions.OnHotKey(desktop::HK_FSEND);
  network.DeliverAll();

  EXPECT_EQ(ReadFileBytes(dir.File("kept.bin")), second);
  EXPECT_EQ(b.desktop.message_boxes.size(), 2u) << "one question and one confirmation";
  EXPECT_FALSE(a.view.tray_animated);
  EXPECT_FALSE(a.view.send_form_visible);
}

}  // namespace
}  // namespace talvorine::lan
