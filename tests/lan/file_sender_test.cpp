#include "lan/file_sender.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/error.h"
#include "common/system_file.h"
#include "lan/datagram.h"
#include "lan/receiver.h"
#include "lan_rig.h"
#include "support/temp_dir.h"

namespace talvorine::lan {
namespace {

using testing::FakeNetwork;
using testing::LanRig;
using testing::TempWorkingDir;
using testing::WriteFileBytes;

std::string PatternBytes(std::size_t size) {
  std::string bytes;
  for (std::size_t i = 0; i < size; ++i) {
    bytes.push_back(static_cast<char>((i * 13 + 5) % 256));
  }
  return bytes;
}

class FileSenderTest : public ::testing::Test {
 protected:
  FileSenderTest() { rig.settings.IPaddr = "192.168.1.255"; }

  // Puts a file of the bytes in the working directory and has the dialog choose it.
  std::string ChooseFile(const std::string& bytes, const char* name = "send.bin") {
    const std::string path = dir.File(name);
    WriteFileBytes(path, bytes);
    rig.dialogs.answers = {path};
    return path;
  }
  std::vector<std::string> SentBytes() const {
    std::vector<std::string> sent;
    for (const auto& datagram : rig.endpoint.sent) {
      sent.push_back(datagram.bytes);
    }
    return sent;
  }
  std::vector<std::size_t> ChunkLengths() const {
    std::vector<std::size_t> lengths;
    for (const auto& datagram : rig.endpoint.sent) {
      if (datagram.bytes.rfind("FL:", 0) == 0) {
        lengths.push_back(static_cast<unsigned char>(datagram.bytes.at(3)));
      }
    }
    return lengths;
  }
  int Count(const std::vector<std::string>& lines, const std::string& line) const {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
  }

  TempWorkingDir dir;
  FakeNetwork network;
  LanRig rig{network, "192.168.1.23", "PC-A"};
};

TEST_F(FileSenderTest, SendsStartChunksAndEndInFileOrder) {
  const std::string bytes = PatternBytes(600);
  const std::string path = ChooseFile(bytes);
  rig.sender.SendFile();

  const std::vector<std::string> sent = SentBytes();
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[0], "FS:PC-A:" + path);
  EXPECT_EQ(sent[1], MakeFileChunk(std::string_view(bytes).substr(0, 250)));
  EXPECT_EQ(sent[2], MakeFileChunk(std::string_view(bytes).substr(250, 250)));
  EXPECT_EQ(sent[3], MakeFileChunk(std::string_view(bytes).substr(500)));
  Crc32 crc;
  crc.Add(bytes);
  EXPECT_EQ(sent[4], MakeFileEnd("PC-A", path, {600, crc.Value()}));
  EXPECT_EQ(TextUpToZero(sent[4]), "FE:PC-A:" + path);
  for (const auto& datagram : rig.endpoint.sent) {
    EXPECT_EQ(datagram.host, "192.168.1.255");
    EXPECT_EQ(datagram.port, 5505);
  }
  EXPECT_EQ(rig.dialogs.calls.at(0).id, files::FileDialogId::kSendFileDialog);
  EXPECT_EQ(rig.view.log,
            (std::vector<std::string>{"ShowSendForm", "ProgressMax 600",
                                      "Label2 ファイル送信中・・・", "TrayStart", "Progress 250",
                                      "Progress 500", "Progress 600", "TrayStop", "HideSendForm"}));
  EXPECT_TRUE(rig.record.lines().size() >= 4u) << "its own datagrams came back in the pumps";
  EXPECT_EQ(Count({rig.record.lines().begin(), rig.record.lines().end()}, "Err:FL"), 0);
}

TEST_F(FileSenderTest, PausesAndLetsMessagesBeHandledAfterEveryChunk) {
  ChooseFile(PatternBytes(300));
  rig.sender.SendFile();
  std::vector<std::string> pacing;
  for (const auto& line : rig.desktop.log) {
    if (line == "Sleep 20" || line == "ProcessPendingMessages") {
      pacing.push_back(line);
    }
  }
  EXPECT_EQ(pacing, (std::vector<std::string>{"Sleep 20", "ProcessPendingMessages", "Sleep 20",
                                              "ProcessPendingMessages"}));
}

TEST_F(FileSenderTest, ChunkCountIsSizeDiv250PlusOne) {
  struct Case {
    std::size_t size;
    std::vector<std::size_t> lengths;
  };
  const Case kCases[] = {
      {0, {4}},
      {250, {254, 4}},
      {251, {254, 5}},
      {1000, {254, 254, 254, 254, 4}},
  };
  for (const Case& c : kCases) {
    rig.endpoint.sent.clear();
    rig.view.log.clear();
    rig.desktop.slept_milliseconds = 0;
    ChooseFile(PatternBytes(c.size));
    rig.sender.SendFile();
    EXPECT_EQ(ChunkLengths(), c.lengths) << c.size;
    EXPECT_EQ(rig.desktop.slept_milliseconds, 20 * c.lengths.size()) << c.size;
    EXPECT_EQ(rig.view.log.at(1), "ProgressMax " + std::to_string(c.size));
  }
}

TEST_F(FileSenderTest, ItsOwnEndTellsTheSenderThatTheFileWasSent) {
  ChooseFile(PatternBytes(400));
  rig.sender.SendFile();
  EXPECT_TRUE(rig.desktop.message_boxes.empty()) << "the end has not come back yet";
  network.DeliverAll();  // the message loop after the send
  ASSERT_EQ(rig.desktop.message_boxes.size(), 1u);
  EXPECT_EQ(rig.desktop.message_boxes[0].text, "送信完了しました。");
  EXPECT_EQ(rig.desktop.message_boxes[0].caption, "ファイル送信");
  EXPECT_FALSE(SystemFileExists(kRecvTempFile));
}

TEST_F(FileSenderTest, SendsNothingWhenThereIsNothingToSend) {
  struct Case {
    const char* name;
    bool choose;
    bool file_exists;
    bool sharing_on;
    std::size_t dialogs_run;
  };
  constexpr Case kCases[] = {
      {"dialog cancelled", false, false, true, 1},
      {"file cannot be opened", true, false, true, 1},
      {"sharing off", true, true, false, 1},
  };
  for (const Case& c : kCases) {
    rig.dialogs.calls.clear();
    rig.settings.CkNWUse = c.sharing_on;
    if (c.choose) {
      const std::string path = dir.File("chosen.bin");
      if (c.file_exists) {
        WriteFileBytes(path, "data");
      }
      rig.dialogs.answers = {path};
    }
    rig.sender.SendFile();
    EXPECT_TRUE(rig.endpoint.sent.empty()) << c.name;
    EXPECT_TRUE(rig.view.log.empty()) << c.name;
    EXPECT_TRUE(rig.desktop.message_boxes.empty()) << c.name;
    EXPECT_EQ(rig.dialogs.calls.size(), c.dialogs_run) << c.name;
  }
}

TEST_F(FileSenderTest, RaisesBeforeSendingWhenHostNameOrAddressIsMissing) {
  ChooseFile("data");
  rig.host.host_name_fails = true;
  EXPECT_THROW(rig.sender.SendFile(), Error);

  rig.host.host_name_fails = false;
  rig.settings.IPaddr.clear();
  rig.host.own_address.reset();
  rig.dialogs.answers = {dir.File("send.bin")};
  EXPECT_THROW(rig.sender.SendFile(), Error);
  EXPECT_TRUE(rig.endpoint.sent.empty());
  EXPECT_TRUE(rig.view.log.empty());
}

TEST_F(FileSenderTest, AStartThatCannotBeSentDoesNotStopTheTransfer) {
  ChooseFile(PatternBytes(10));
  rig.endpoint.fail_sends = 1;
  rig.sender.SendFile();
  const std::vector<std::string> sent = SentBytes();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].substr(0, 3), "FL:");
  EXPECT_EQ(sent[1].substr(0, 3), "FE:");
  EXPECT_EQ(rig.view.log.front(), "ProgressMax 10") << "the window stays hidden";
  EXPECT_TRUE(std::none_of(rig.record.lines().begin(), rig.record.lines().end(),
                           [](const std::string& line) { return line.rfind("Err:", 0) == 0; }));
}

TEST_F(FileSenderTest, FailedChunksAndEndAreRecorded) {
  ChooseFile(PatternBytes(600));
  int pumps = 0;
  rig.desktop.on_process_messages = [&] {
    // The second chunk and the end datagram fail.
    ++pumps;
    if (pumps == 1 || pumps == 3) {
      rig.endpoint.fail_sends = 1;
    }
  };
  rig.sender.SendFile();
  const std::vector<std::string> sent = SentBytes();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(ChunkLengths(), (std::vector<std::size_t>{254, 104}));
  const std::vector<std::string> lines(rig.record.lines().begin(), rig.record.lines().end());
  EXPECT_EQ(lines, (std::vector<std::string>{"Err:FL", "Err:FE"}));
}

// A file whose reading fails after some bytes.
class FailingSource : public ByteSource {
 public:
  std::uint64_t Size() const override { return 1000; }
  ReadResult ReadByte(char& byte) override {
    if (read_ == 300) {
      return ReadResult::kError;
    }
    ++read_;
    byte = 'r';
    return ReadResult::kByte;
  }

 private:
  int read_ = 0;
};

TEST_F(FileSenderTest, AReadFailureSendsTheShortChunkAndNoEnd) {
  FileSender sender(rig.service, rig.lan_desktop, rig.dialogs, rig.view, rig.record,
                    [](std::string_view) { return std::make_unique<FailingSource>(); });
  rig.dialogs.answers = {std::string("C:\\vanished.bin")};
  sender.SendFile();
  EXPECT_EQ(ChunkLengths(), (std::vector<std::size_t>{254, 54}));
  EXPECT_EQ(SentBytes().back().substr(0, 3), "FL:") << "no end: the file is not whole";
  EXPECT_EQ(std::count(rig.record.lines().begin(), rig.record.lines().end(), "Err:read"), 1);
  EXPECT_FALSE(rig.view.tray_animated);
  EXPECT_FALSE(rig.view.send_form_visible);
  network.DeliverAll();
  EXPECT_TRUE(rig.desktop.message_boxes.empty()) << "nobody is told it was sent";
}

TEST_F(FileSenderTest, LanSharingSwitchedOffDuringTheSendEndsItWithoutAnEnd) {
  // The close sequence clears CkNWUse while the send lets messages through; so does the user.
  ChooseFile(PatternBytes(2000));
  int pumps = 0;
  rig.desktop.on_process_messages = [&] {
    network.DeliverAll();
    if (++pumps == 2) {
      rig.settings.CkNWUse = false;
    }
  };
  rig.sender.SendFile();
  EXPECT_EQ(ChunkLengths(), (std::vector<std::size_t>{254, 254})) << "nothing after the switch";
  EXPECT_EQ(SentBytes().back().substr(0, 3), "FL:") << "no end: the file is not whole";
  EXPECT_FALSE(rig.view.tray_animated);
  EXPECT_FALSE(rig.view.send_form_visible);
  EXPECT_EQ(Count({rig.record.lines().begin(), rig.record.lines().end()}, "Err:FE"), 0);
}

}  // namespace
}  // namespace talvorine::lan
