#include "lan/posix/posix_udp_endpoint.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/system_file.h"
#include "fake_lan.h"
#include "lan/file_sender.h"
#include "lan/lan_desktop.h"
#include "lan/lan_service.h"
#include "lan/receiver.h"
#include "support/fake_desktop.h"
#include "support/temp_dir.h"

namespace talvorine::lan {
namespace {

using namespace std::string_literals;

struct Arrival {
  std::string bytes;
  std::string source;
};

// Waits (bounded) until the endpoint has handed on at least `count` datagrams in all.
void ReceiveUntil(PosixUdpEndpoint& endpoint, const std::vector<Arrival>& arrivals,
                  std::size_t count) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (arrivals.size() < count && std::chrono::steady_clock::now() < deadline) {
    if (endpoint.WaitForDatagram(100)) {
      endpoint.ReceivePending();
    }
  }
}

class PosixUdpEndpointTest : public ::testing::Test {
 protected:
  PosixUdpEndpointTest() {
    receiver.SetReceiveHandler([this](std::string_view bytes, std::string_view source) {
      arrivals.push_back({std::string(bytes), std::string(source)});
    });
    // Ports of the system's choice: no clash with any other test or program.
    receiver.Open(0);
    sender.Open(0);
  }

  PosixUdpEndpoint receiver;
  PosixUdpEndpoint sender;
  std::vector<Arrival> arrivals;
};

TEST_F(PosixUdpEndpointTest, DeliversDatagramsWithTheirSourceAddress) {
  const std::string binary = "FL:\x08\0\xff\0\x01"s;
  sender.Send("127.0.0.1", receiver.Port(), "CB:one");
  sender.Send("127.0.0.1", receiver.Port(), binary);
  sender.Send("127.0.0.1", receiver.Port(), "");
  ReceiveUntil(receiver, arrivals, 3);
  ASSERT_EQ(arrivals.size(), 3u);
  EXPECT_EQ(arrivals[0].bytes, "CB:one");
  EXPECT_EQ(arrivals[1].bytes, binary);
  EXPECT_EQ(arrivals[2].bytes, "");
  for (const Arrival& arrival : arrivals) {
    EXPECT_EQ(arrival.source, "127.0.0.1");
  }
}

TEST_F(PosixUdpEndpointTest, CutsDatagramsToTheReceiveSize) {
  sender.Send("127.0.0.1", receiver.Port(), std::string(10000, 'x'));
  ReceiveUntil(receiver, arrivals, 1);
  ASSERT_EQ(arrivals.size(), 1u);
  EXPECT_EQ(arrivals[0].bytes.size(), PosixUdpEndpoint::kReceiveSize);
}

TEST_F(PosixUdpEndpointTest, OpeningAPortHeldUnsharedRaisesAndStaysClosed) {
  // A socket of another program that does not share its port.
  const int holder = socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_GE(holder, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  ASSERT_EQ(bind(holder, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  socklen_t size = sizeof address;
  getsockname(holder, reinterpret_cast<sockaddr*>(&address), &size);
  PosixUdpEndpoint second;
  EXPECT_THROW(second.Open(ntohs(address.sin_port)), Error);
  EXPECT_FALSE(second.IsOpen());
  close(holder);
  EXPECT_NO_THROW(receiver.Open(receiver.Port())) << "opening an open endpoint does nothing";
}

TEST_F(PosixUdpEndpointTest, PeersOnOneMachineShareThePortAndEachHearsABroadcast) {
  PosixUdpEndpoint second;
  std::vector<Arrival> second_arrivals;
  second.SetReceiveHandler([&](std::string_view bytes, std::string_view source) {
    second_arrivals.push_back({std::string(bytes), std::string(source)});
  });
  ASSERT_NO_THROW(second.Open(receiver.Port()));
  // The loopback net's broadcast address: every socket on the port hears it.
  sender.Send("127.255.255.255", receiver.Port(), "CB:一斉");
  ReceiveUntil(receiver, arrivals, 1);
  ReceiveUntil(second, second_arrivals, 1);
  ASSERT_EQ(arrivals.size(), 1u);
  ASSERT_EQ(second_arrivals.size(), 1u);
  EXPECT_EQ(arrivals[0].bytes, "CB:一斉");
  EXPECT_EQ(second_arrivals[0].bytes, "CB:一斉");
}

TEST_F(PosixUdpEndpointTest, SendingFailsLoudly) {
  EXPECT_THROW(sender.Send("", receiver.Port(), "CB:x"), Error);
  EXPECT_THROW(sender.Send("host.example", receiver.Port(), "CB:x"), Error);
  EXPECT_THROW(sender.Send("127.0.0.1", receiver.Port(), std::string(70000, 'x')), Error);
  sender.Close();
  EXPECT_THROW(sender.Send("127.0.0.1", receiver.Port(), "CB:x"), Error);
}

TEST_F(PosixUdpEndpointTest, AHandlerMayCloseTheEndpoint) {
  receiver.SetReceiveHandler([this](std::string_view bytes, std::string_view source) {
    arrivals.push_back({std::string(bytes), std::string(source)});
    receiver.Close();  // as the close sequence does inside a message box
  });
  const std::uint16_t port = receiver.Port();
  sender.Send("127.0.0.1", port, "CB:first");
  sender.Send("127.0.0.1", port, "CB:second");
  ASSERT_TRUE(receiver.WaitForDatagram(5000));
  EXPECT_EQ(receiver.ReceivePending(), 1u);
  EXPECT_FALSE(receiver.IsOpen());
  EXPECT_FALSE(receiver.WaitForDatagram(0));
  EXPECT_EQ(receiver.ReceivePending(), 0u);
  ASSERT_EQ(arrivals.size(), 1u);
  EXPECT_EQ(arrivals[0].bytes, "CB:first");
}

// A whole PC on a real socket: its file send comes back to its own receiver, as its own
// broadcasts do on a LAN, and ends with the confirmation.
TEST(PosixLanLoop, AFileSentToItselfIsConfirmedAsSent) {
  testing::TempWorkingDir dir;
  files::Settings settings;
  settings.CkNWUse = true;
  settings.IPaddr = "127.0.0.1";
  PosixUdpEndpoint endpoint;
  testing::FakeHostNetwork host;
  testing::RecordingLanView view;
  MemoryErrorRecord record;
  testing::FakeDesktop desktop;
  LanDesktopAdapter lan_desktop(desktop);
  testing::FakeDialogs dialogs;
  LanService service(settings, endpoint, host, view);
  Receiver receiver(settings, host, lan_desktop, dialogs, view, record);
  FileSender sender(service, lan_desktop, dialogs, view, record);
  endpoint.SetReceiveHandler([&](std::string_view bytes, std::string_view source) {
    receiver.IdUDPServer1UDPRead(bytes, source);
  });
  desktop.on_process_messages = [&] { endpoint.ReceivePending(); };

  // The channel's port may be held by another run on this machine: take the first free one.
  bool opened = false;
  for (int channel = 30; channel <= 40 && !opened; ++channel) {
    settings.NWChannel = channel;
    try {
      service.Timer2Timer();
      opened = true;
    } catch (const Error&) {
    }
  }
  ASSERT_TRUE(opened);

  const std::string path = dir.File("self.bin");
  testing::WriteFileBytes(path, std::string(600, 's'));
  dialogs.answers = {path};
  sender.SendFile();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (desktop.message_boxes.empty() && std::chrono::steady_clock::now() < deadline) {
    if (endpoint.WaitForDatagram(100)) {
      endpoint.ReceivePending();
    }
  }
  ASSERT_EQ(desktop.message_boxes.size(), 1u);
  EXPECT_EQ(desktop.message_boxes[0].text, "送信完了しました。");
  EXPECT_EQ(record.lines().front(), "FS:PC-A:" + path);
  EXPECT_FALSE(SystemFileExists(kRecvTempFile));
}

}  // namespace
}  // namespace talvorine::lan
