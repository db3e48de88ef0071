#include "lan/receiver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/error.h"
#include "common/system_file.h"
#include "lan/datagram.h"
#include "lan_rig.h"
#include "support/temp_dir.h"

namespace talvorine::lan {
namespace {

using namespace std::string_view_literals;
using desktop::MessageBoxResult;
using desktop::MessageBoxStyle;
using testing::FakeNetwork;
using testing::LanRig;
using testing::ReadFileBytes;
using testing::TempWorkingDir;
using testing::WriteFileBytes;

constexpr std::string_view kPeer = "192.168.1.50";
constexpr std::string_view kOtherPeer = "192.168.1.60";

std::string PatternBytes(std::size_t size, int seed) {
  std::string bytes;
  for (std::size_t i = 0; i < size; ++i) {
    bytes.push_back(static_cast<char>((i * 31 + static_cast<std::size_t>(seed)) % 256));
  }
  return bytes;
}

class ReceiverTest : public ::testing::Test {
 protected:
  explicit ReceiverTest(ReceiverLimits limits = {})
      : rig(network, "192.168.1.23", "PC-A", limits) {}

  void Receive(std::string_view bytes, std::string_view from = kPeer) {
    rig.receiver.IdUDPServer1UDPRead(bytes, from);
  }
  // A whole transfer of the bytes, as a peer sends it.
  void ReceiveFile(std::string_view host_name, std::string_view path, std::string_view bytes,
                   std::string_view from = kPeer) {
    Receive(MakeFileStart(host_name, path), from);
    for (std::size_t at = 0;; at += kMaxChunkData) {
      const std::string_view data = bytes.substr(std::min(at, bytes.size()), kMaxChunkData);
      Receive(MakeFileChunk(data), from);
      if (data.size() < kMaxChunkData) {
        break;
      }
    }
    Receive(MakeFileEnd(host_name, path), from);
  }
  bool TempFileExists() const { return SystemFileExists(kRecvTempFile); }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : rig.desktop.message_boxes) {
      texts.push_back(box.caption + ": " + box.text);
    }
    return texts;
  }

  TempWorkingDir dir;
  FakeNetwork network;
  LanRig rig;
};

TEST_F(ReceiverTest, TextBecomesPasteBufferAndMonitorText) {
  struct Case {
    const char* name;
    std::string_view datagram;
    std::string_view text;
  };
  constexpr Case kCases[] = {
      {"plain", "CB:こんにちは", "こんにちは"},
      {"lower-case token", "cb:abc", "abc"},
      {"text ends at a zero byte", "CB:ab\0cd"sv, "ab"},
      {"no colon", "CB", ""},
      {"empty text", "CB:", ""},
  };
  for (const Case& c : kCases) {
    rig.receiver.SetPasteBuffer("previous");
    Receive(c.datagram);
    EXPECT_EQ(rig.receiver.PasteBuffer(), c.text) << c.name;
    EXPECT_EQ(rig.view.edit1, c.text) << c.name;
  }
  EXPECT_TRUE(rig.desktop.message_boxes.empty());
  EXPECT_EQ(rig.desktop.brought_to_front, 0);
}

TEST_F(ReceiverTest, RecordsEveryDatagramUpToItsFirstZeroByte) {
  Receive("CB:text");
  Receive("XY:unknown kind");
  Receive(
      "FL:\x06"
      "a\0b"sv);
  Receive(":no token");
  EXPECT_EQ(rig.record.lines(), (std::deque<std::string>{"CB:text", "XY:unknown kind",
                                                         "FL:\x06"
                                                         "a",
                                                         ":no token"}));
}

TEST_F(ReceiverTest, IgnoresEverythingWhileSharingIsOff) {
  rig.settings.CkNWUse = false;
  Receive("CB:text");
  Receive(MakeFileStart("PC-B", "C:\\a.txt"));
  EXPECT_TRUE(rig.record.lines().empty());
  EXPECT_EQ(rig.receiver.PasteBuffer(), "");
  EXPECT_FALSE(rig.receiver.IsReceiving());
  EXPECT_FALSE(TempFileExists());
}

TEST_F(ReceiverTest, OwnTransferIsAnnouncedAsSentAndLeavesNoTemporaryFile) {
  ReceiveFile("PC-A", "C:\\docs\\a.txt", PatternBytes(600, 1), rig.endpoint.own_address());
  ASSERT_EQ(rig.desktop.message_boxes.size(), 1u);
  EXPECT_EQ(rig.desktop.message_boxes[0].text, "送信完了しました。");
  EXPECT_EQ(rig.desktop.message_boxes[0].caption, "ファイル送信");
  EXPECT_EQ(rig.desktop.message_boxes[0].style, MessageBoxStyle::kOkInformation);
  EXPECT_TRUE(rig.dialogs.calls.empty());
  EXPECT_FALSE(TempFileExists());
  EXPECT_FALSE(rig.receiver.IsReceiving());
}

TEST_F(ReceiverTest, AFileFromAnotherPcIsSavedWhereTheUserChooses) {
  const std::string bytes = PatternBytes(1000, 2);  // zero bytes included
  const std::string target = dir.File("saved.txt");
  rig.desktop.message_box_answers = {MessageBoxResult::kYes};
  rig.dialogs.answers = {target};

  ReceiveFile("PC-B", "C:\\docs\\議事録.txt", bytes);

  EXPECT_EQ(ReadFileBytes(target), bytes);
  EXPECT_FALSE(TempFileExists());
  ASSERT_EQ(rig.dialogs.calls.size(), 1u);
  EXPECT_EQ(rig.dialogs.calls[0].id, files::FileDialogId::kNWRecvFile);
  EXPECT_EQ(rig.dialogs.calls[0].initial_name, "議事録.txt");
  ASSERT_EQ(rig.desktop.message_boxes.size(), 2u);
  EXPECT_EQ(rig.desktop.message_boxes[0].text, "PC-B からファイルが届きました。保存しますか？");
  EXPECT_EQ(rig.desktop.message_boxes[0].caption, "到着ファイルの保存");
  EXPECT_EQ(rig.desktop.message_boxes[0].style, MessageBoxStyle::kYesNoInformation);
  EXPECT_EQ(rig.desktop.message_boxes[1].text, "保存完了しました。");
  EXPECT_EQ(rig.desktop.message_boxes[1].caption, "ファイル受信");
  EXPECT_EQ(rig.desktop.message_boxes[1].style, MessageBoxStyle::kOkInformation);
  // The program comes to the front before it asks.
  std::vector<std::string> front_and_boxes;
  for (const auto& line : rig.desktop.log) {
    if (line.rfind("BringApplicationToFront", 0) == 0 || line.rfind("MessageBox", 0) == 0) {
      front_and_boxes.push_back(line.substr(0, 10));
    }
  }
  EXPECT_EQ(front_and_boxes, (std::vector<std::string>{"BringAppli", "MessageBox", "MessageBox"}));
}

TEST_F(ReceiverTest, SavingOverwritesAnExistingFile) {
  const std::string target = dir.File("existing.bin");
  WriteFileBytes(target, std::string(5000, 'o'));
  rig.desktop.message_box_answers = {MessageBoxResult::kYes};
  rig.dialogs.answers = {target};
  ReceiveFile("PC-B", "C:\\a.bin", "short");
  EXPECT_EQ(ReadFileBytes(target), "short");
}

TEST_F(ReceiverTest, DecliningDeletesTheTemporaryFileAndWritesNothing) {
  struct Case {
    const char* name;
    MessageBoxResult answer;
    std::size_t dialogs_run;
  };
  constexpr Case kCases[] = {{"No", MessageBoxResult::kNo, 0},
                             {"Yes, then the dialog is cancelled", MessageBoxResult::kYes, 1}};
  for (const Case& c : kCases) {
    rig.desktop.message_boxes.clear();
    rig.dialogs.calls.clear();
    rig.desktop.message_box_answers = {c.answer};
    ReceiveFile("PC-B", "C:\\a.txt", "data");
    EXPECT_FALSE(TempFileExists()) << c.name;
    EXPECT_EQ(rig.desktop.message_boxes.size(), 1u) << c.name;
    EXPECT_EQ(rig.dialogs.calls.size(), c.dialogs_run) << c.name;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              0)
        << c.name;
  }
}

TEST_F(ReceiverTest, AHostNameThatDiffersOnlyInCaseIsAnotherPc) {
  ReceiveFile("pc-a", "C:\\a.txt", "data");
  ASSERT_EQ(rig.desktop.message_boxes.size(), 1u);
  EXPECT_EQ(rig.desktop.message_boxes[0].caption, "到着ファイルの保存");
}

TEST_F(ReceiverTest, AnEmptyHostNameIsAnotherPcsAndAMissingPathProposesNoName) {
  rig.desktop.message_box_answers = {MessageBoxResult::kYes};
  Receive("FS:");
  Receive(MakeFileChunk("x"));
  Receive("FE::C:\\ignored.txt");
  ASSERT_EQ(rig.desktop.message_boxes.size(), 1u);
  EXPECT_EQ(rig.desktop.message_boxes[0].text, " からファイルが届きました。保存しますか？");
  ASSERT_EQ(rig.dialogs.calls.size(), 1u);
  EXPECT_EQ(rig.dialogs.calls[0].initial_name, "");
  EXPECT_FALSE(TempFileExists());
}

TEST_F(ReceiverTest, ANewerStartFromAnotherPcTakesOverTheReception) {
  const std::string target = dir.File("second.txt");
  rig.desktop.message_box_answers = {MessageBoxResult::kYes};
  rig.dialogs.answers = {target};

  Receive(MakeFileStart("PC-B", "C:\\first.txt"), kPeer);
  Receive(MakeFileChunk("first-"), kPeer);
  Receive(MakeFileStart("PC-C", "C:\\second.txt"), kOtherPeer);
  Receive(MakeFileChunk("ignored"), kPeer);
  Receive(MakeFileChunk("second"), kOtherPeer);
  Receive(MakeFileEnd("PC-B", "C:\\first.txt"), kPeer);
  EXPECT_TRUE(rig.receiver.IsReceiving()) << "the first sender's end is ignored";
  EXPECT_EQ(rig.receiver.RecvSenderAddress(), kOtherPeer);
  Receive(MakeFileEnd("PC-C", "C:\\second.txt"), kOtherPeer);

  EXPECT_EQ(ReadFileBytes(target), "second");
  EXPECT_EQ(rig.dialogs.calls.at(0).initial_name, "second.txt");
  EXPECT_EQ(BoxTexts().at(0), "到着ファイルの保存: PC-C からファイルが届きました。保存しますか？");
}

TEST_F(ReceiverTest, ChunksAndEndsWithoutAStartAreIgnored) {
  Receive(MakeFileChunk("data"));
  Receive(MakeFileEnd("PC-B", "C:\\a.txt"));
  EXPECT_FALSE(TempFileExists());
  EXPECT_TRUE(rig.desktop.message_boxes.empty());
  EXPECT_EQ(rig.record.lines().size(), 2u);
}

TEST_F(ReceiverTest, ChunkLengthsDecideWhatIsWritten) {
  Receive(MakeFileStart("PC-B", "C:\\a.bin"));
  Receive("FL:\x04");  // no data
  Receive(
      "FL:\x02"
      "zz");       // length below the header
  Receive("FL:");  // no length byte at all
  EXPECT_TRUE(rig.receiver.IsReceiving());
  Receive(
      "FL:\x06"
      "ab"
      "cd");  // bytes after the length are not data
  Receive(
      "FL:\xfe"
      "xyz");  // only the bytes that arrived, no zero bytes added
  rig.desktop.message_box_answers = {MessageBoxResult::kYes};
  rig.dialogs.answers = {dir.File("out.bin")};
  Receive(MakeFileEnd("PC-B", "C:\\a.bin"));
  EXPECT_EQ(ReadFileBytes(dir.File("out.bin")), "abxyz");
}

TEST_F(ReceiverTest, ATemporaryFileThatCannotBeCreatedLeavesTheReceiverIdle) {
  std::filesystem::create_directory(dir.path() / "recv.tmp");
  Receive(MakeFileStart("PC-B", "C:\\a.txt"));
  EXPECT_FALSE(rig.receiver.IsReceiving());
  EXPECT_EQ(rig.receiver.RecvSenderAddress(), "");

  // Once the obstacle is gone the next transfer, from any PC, gets through.
  std::filesystem::remove(dir.path() / "recv.tmp");
  rig.desktop.message_box_answers = {MessageBoxResult::kYes};
  rig.dialogs.answers = {dir.File("b.txt")};
  ReceiveFile("PC-C", "C:\\b.txt", "later", kOtherPeer);
  EXPECT_EQ(ReadFileBytes(dir.File("b.txt")), "later");
}

TEST_F(ReceiverTest, AFailedSaveIsToldWithTheFileName) {
  const std::string target = dir.File("no-such-folder\\saved.txt");
  rig.desktop.message_box_answers = {MessageBoxResult::kYes};
  rig.dialogs.answers = {target};
  ReceiveFile("PC-B", "C:\\a.txt", "data");
  ASSERT_EQ(rig.desktop.message_boxes.size(), 2u);
  EXPECT_EQ(rig.desktop.message_boxes[1].text, "ファイル " + target + " を保存できませんでした。");
  EXPECT_EQ(rig.desktop.message_boxes[1].caption, "ファイル受信");
  EXPECT_FALSE(TempFileExists());
}

TEST_F(ReceiverTest, SavingAsTheTemporaryFileItselfKeepsTheBytes) {
  const std::string bytes = PatternBytes(700, 3);
  rig.desktop.message_box_answers = {MessageBoxResult::kYes};
  rig.dialogs.answers = {dir.File("recv.tmp")};
  ReceiveFile("PC-B", "C:\\peer\\recv.tmp", bytes);
  EXPECT_EQ(rig.dialogs.calls.at(0).initial_name, "recv.tmp");
  EXPECT_EQ(ReadFileBytes(dir.File("recv.tmp")), bytes);
  EXPECT_EQ(rig.desktop.message_boxes.back().text, "保存完了しました。");
}

TEST_F(ReceiverTest, WithoutItsOwnHostNameTheEndIsDropped) {
  rig.host.host_name_fails = true;
  ReceiveFile("PC-B", "C:\\a.txt", "data");
  EXPECT_TRUE(rig.desktop.message_boxes.empty());
  EXPECT_FALSE(TempFileExists());
  EXPECT_FALSE(rig.receiver.IsReceiving());
}

TEST_F(ReceiverTest, DatagramsArrivingWhileABoxIsOpenAreHandledAfterIt) {
  const std::string first_target = dir.File("first.txt");
  rig.desktop.message_box_answers = {MessageBoxResult::kYes, MessageBoxResult::kOk,
                                     MessageBoxResult::kNo};
  rig.dialogs.answers = {first_target};
  bool handled_inside = false;
  rig.desktop.on_message_box = [&](const testing::FakeDesktop::MessageBoxRecord& box) {
    if (box.caption == "到着ファイルの保存" && box.text.rfind("PC-B", 0) == 0) {
      // A hand-over and a second transfer arrive while the user reads the question.
      Receive("CB:meanwhile", kOtherPeer);
      ReceiveFile("PC-C", "C:\\second.txt", "second", kOtherPeer);
      handled_inside = rig.receiver.PasteBuffer() == "meanwhile" || rig.receiver.IsReceiving();
    }
  };
  ReceiveFile("PC-B", "C:\\first.txt", "first");

  EXPECT_FALSE(handled_inside);
  EXPECT_EQ(ReadFileBytes(first_target), "first") << "the second transfer did not disturb it";
  EXPECT_EQ(rig.receiver.PasteBuffer(), "meanwhile");
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                            "到着ファイルの保存: PC-B からファイルが届きました。保存しますか？",
                            "ファイル受信: 保存完了しました。",
                            "到着ファイルの保存: PC-C からファイルが届きました。保存しますか？"}));
  EXPECT_FALSE(TempFileExists());
}

TEST_F(ReceiverTest, ClosingTheEndpointWhileABoxIsOpenLetsTheHandlerFinish) {
  rig.service.Timer2Timer();
  ASSERT_TRUE(rig.endpoint.IsOpen());
  rig.desktop.message_box_answers = {MessageBoxResult::kYes};
  rig.dialogs.answers = {dir.File("kept.txt")};
  rig.desktop.on_message_box = [&](const testing::FakeDesktop::MessageBoxRecord& box) {
    if (box.caption == "到着ファイルの保存") {
      // The close sequence of a log-off runs inside the box's message loop.
      rig.settings.CkNWUse = false;
      rig.service.Timer2Timer();
      rig.endpoint.Inject("CB:after close", kPeer);
    }
  };
  for (const std::string& datagram : {MakeFileStart("PC-B", "C:\\kept.txt"), MakeFileChunk("kept"),
                                      MakeFileEnd("PC-B", "C:\\kept.txt")}) {
    rig.endpoint.Inject(datagram, kPeer);
  }
  network.DeliverAll();

  EXPECT_FALSE(rig.endpoint.IsOpen());
  EXPECT_EQ(ReadFileBytes(dir.File("kept.txt")), "kept");
  EXPECT_EQ(rig.receiver.PasteBuffer(), "");
  EXPECT_FALSE(TempFileExists());
}

// A transfer as a sender with the file check sends it, with some chunks left out on the way.
struct CheckedTransfer {
  std::string bytes;
  std::vector<std::size_t> lost_chunks;
};

std::uint32_t CrcOf(std::string_view bytes) {
  Crc32 crc;
  crc.Add(bytes);
  return crc.Value();
}

TEST_F(ReceiverTest, TheSendersCheckDecidesHowTheFileIsOffered) {
  const std::string bytes = PatternBytes(1000, 4);
  std::string altered = bytes;
  altered[500] = static_cast<char>(altered[500] ^ 0x55);
  struct Case {
    const char* name;
    std::string sent;     // the file the sender read
    std::string arrived;  // the bytes its chunks carried here
    bool with_check;
    std::string question;  // for PC-B
    MessageBoxStyle style;
    std::string record_line;  // about the file; empty for none
  };
  const Case kCases[] = {
      {"whole", bytes, bytes, true, "PC-B からファイルが届きました。保存しますか？",
       MessageBoxStyle::kYesNoInformation, ""},
      {"one chunk lost", bytes, bytes.substr(0, 500) + bytes.substr(750), true,
       "PC-B からファイルが届きましたが、不完全です（1000 バイト中 750 バイトを受信）。"
       "それでも保存しますか？",
       MessageBoxStyle::kYesNoWarningNo,
       "受信ファイル不完全：PC-B（192.168.1.50）の C:\\docs\\a.bin、1000 バイト中 750 "
       "バイトを受信"},
      {"changed on the way", bytes, altered, true,
       "PC-B からファイルが届きましたが、内容が送信元と一致しません（1000 バイト）。"
       "それでも保存しますか？",
       MessageBoxStyle::kYesNoWarningNo,
       "受信ファイル不完全：PC-B（192.168.1.50）の C:\\docs\\a.bin、1000 バイト、内容が送信元と"
       "一致しません"},
      {"a sender without the check", bytes, bytes.substr(0, 750), false,
       "PC-B からファイルが届きました。保存しますか？", MessageBoxStyle::kYesNoInformation, ""},
  };
  for (const Case& c : kCases) {
    rig.desktop.message_boxes.clear();
    rig.desktop.message_box_answers = {MessageBoxResult::kNo};
    const std::size_t record_before = rig.record.lines().size();

    Receive(MakeFileStart("PC-B", "C:\\docs\\a.bin"));
    for (std::size_t at = 0; at < c.arrived.size(); at += kMaxChunkData) {
      Receive(MakeFileChunk(std::string_view(c.arrived).substr(at, kMaxChunkData)));
    }
    Receive(c.with_check ? MakeFileEnd("PC-B", "C:\\docs\\a.bin", {c.sent.size(), CrcOf(c.sent)})
                         : MakeFileEnd("PC-B", "C:\\docs\\a.bin"));

    ASSERT_EQ(rig.desktop.message_boxes.size(), 1u) << c.name;
    EXPECT_EQ(rig.desktop.message_boxes[0].text, c.question) << c.name;
    EXPECT_EQ(rig.desktop.message_boxes[0].caption, "到着ファイルの保存") << c.name;
    EXPECT_EQ(rig.desktop.message_boxes[0].style, c.style) << c.name;
    std::vector<std::string> added;
    for (std::size_t i = record_before; i < rig.record.lines().size(); ++i) {
      const std::string& line = rig.record.lines()[i];
      if (line.rfind("受信ファイル", 0) == 0) {
        added.push_back(line);
      }
    }
    EXPECT_EQ(added, c.record_line.empty() ? std::vector<std::string>{}
                                           : std::vector<std::string>{c.record_line})
        << c.name;
    // No leaves nothing behind.
    EXPECT_FALSE(TempFileExists()) << c.name;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << c.name;
  }
}

TEST_F(ReceiverTest, AnIncompleteFileIsSavedOnlyWhenTheUserInsists) {
  const std::string bytes = PatternBytes(600, 5);
  rig.desktop.message_box_answers = {MessageBoxResult::kYes};
  rig.dialogs.answers = {dir.File("part.bin")};
  Receive(MakeFileStart("PC-B", "C:\\a.bin"));
  Receive(MakeFileChunk(std::string_view(bytes).substr(0, 250)));
  Receive(MakeFileChunk(std::string_view(bytes).substr(500)));
  Receive(MakeFileEnd("PC-B", "C:\\a.bin", {600, CrcOf(bytes)}));
  EXPECT_EQ(ReadFileBytes(dir.File("part.bin")), bytes.substr(0, 250) + bytes.substr(500));
  EXPECT_EQ(rig.desktop.message_boxes.back().text, "保存完了しました。");
}

TEST_F(ReceiverTest, AnOwnTransferIsAnnouncedWhateverItsCheckSays) {
  Receive(MakeFileStart("PC-A", "C:\\a.bin"), rig.endpoint.own_address());
  Receive(MakeFileChunk("short"), rig.endpoint.own_address());
  Receive(MakeFileEnd("PC-A", "C:\\a.bin", {600, 1}), rig.endpoint.own_address());
  ASSERT_EQ(BoxTexts(), (std::vector<std::string>{"ファイル送信: 送信完了しました。"}));
  EXPECT_FALSE(TempFileExists());
}

TEST_F(ReceiverTest, ReceptionsFromOneSourceBeyondTheLimitAreRecordedAndDropped) {
  for (int i = 0; i < 7; ++i) {
    ReceiveFile("peer", "C:\\f" + std::to_string(i) + ".txt", "data");
  }
  // A colleague elsewhere is still asked.
  ReceiveFile("PC-C", "C:\\c.txt", "data", kOtherPeer);

  EXPECT_EQ(rig.desktop.message_boxes.size(), 7u);
  EXPECT_EQ(rig.desktop.brought_to_front, 7) << "the program comes to the front only to ask";
  EXPECT_EQ(BoxTexts().back(), "到着ファイルの保存: PC-C からファイルが届きました。保存しますか？");
  EXPECT_FALSE(TempFileExists());
  EXPECT_NE(
      std::find(rig.record.lines().begin(), rig.record.lines().end(),
                "受信ファイル破棄：peer（192.168.1.50）の C:\\f6.txt、1 分間に 6 件を超えました"),
      rig.record.lines().end());

  // A minute later the same source is asked again.
  rig.now += std::chrono::seconds(61);
  ReceiveFile("peer", "C:\\later.txt", "data");
  EXPECT_EQ(rig.desktop.message_boxes.size(), 8u);
}

TEST_F(ReceiverTest, AFloodOfStartsAndEndsBehindAnOpenQuestionAsksOnlyAFewTimes) {
  int open_boxes = 0;
  int most_open = 0;
  bool flooded = false;
  rig.desktop.on_message_box = [&](const testing::FakeDesktop::MessageBoxRecord&) {
    ++open_boxes;
    most_open = std::max(most_open, open_boxes);
    if (!flooded) {
      flooded = true;
      for (int i = 0; i < 50; ++i) {
        Receive(MakeFileStart("evil", "C:\\x" + std::to_string(i)));
        Receive(MakeFileEnd("evil", "C:\\x" + std::to_string(i)));
      }
    }
    --open_boxes;
  };
  ReceiveFile("evil", "C:\\first.txt", "data");
  EXPECT_EQ(rig.desktop.message_boxes.size(), kReceptionsPerMinute);
  EXPECT_EQ(most_open, 1);
  EXPECT_EQ(rig.desktop.brought_to_front, static_cast<int>(kReceptionsPerMinute));
  EXPECT_FALSE(TempFileExists());
  EXPECT_FALSE(rig.receiver.IsReceiving());
}

class LimitedReceiverTest : public ReceiverTest {
 protected:
  LimitedReceiverTest() : ReceiverTest(ReceiverLimits{500, 4096}) {}
};

TEST_F(LimitedReceiverTest, AReceptionPastTheLimitIsDropped) {
  Receive(MakeFileStart("PC-B", "C:\\big.bin"));
  Receive(MakeFileChunk(std::string(250, 'a')));
  Receive(MakeFileChunk(std::string(250, 'b')));
  EXPECT_TRUE(rig.receiver.IsReceiving()) << "exactly the limit is still allowed";
  Receive(MakeFileChunk("c"));
  EXPECT_FALSE(rig.receiver.IsReceiving());
  EXPECT_FALSE(TempFileExists());
  Receive(MakeFileEnd("PC-B", "C:\\big.bin"));
  EXPECT_TRUE(rig.desktop.message_boxes.empty());
}

TEST(ProposedSaveName, IsTheLastPartOfTheSendersPath) {
  struct Case {
    std::string_view path;
    std::string_view name;
  };
  constexpr Case kCases[] = {
      {"C:\\docs\\a.txt", "a.txt"},
      {"a.txt", "a.txt"},
      {"/home/user/a.bin", "a.bin"},
      {"C:a.txt", "a.txt"},
      {"..\\..\\Windows\\win.ini", "win.ini"},
      {"\\\\server\\share\\b.doc", "b.doc"},
      {"C:\\表\\表.txt", "表.txt"},  // 0x5C as the second byte of a character
      {"C:\\docs\\ソ", "ソ"},
      {"C:\\docs\\", ""},
      {"C:\\docs\\..", ""},
      {".", ""},
      {"", ""},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(ProposedSaveName(c.path), c.name) << c.path;
  }
}

}  // namespace
}  // namespace talvorine::lan
