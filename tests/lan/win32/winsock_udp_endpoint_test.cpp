#include "lan/win32/winsock_udp_endpoint.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/error_record.h"
#include "common/handler_guard.h"
#include "ui/win32/pump.h"
#include "common/error.h"
#include "lan/win32/winsock_session.h"

namespace talvorine::win32 {
namespace {

using testing::PumpFor;
using testing::PumpUntil;

struct Arrival {
  std::string datagram;
  std::string source;
};

// Every socket here is bound on a port of the system's choice and sends only to loopback.
class WinsockUdpEndpointTest : public ::testing::Test {
 protected:
  void SetUp() override {
    endpoint.SetReceiveHandler([this](std::string_view datagram, std::string_view source) {
      arrivals.push_back({std::string(datagram), std::string(source)});
    });
  }

  MemoryErrorRecord record;
  HandlerGuard guard{record};
  WinsockUdpEndpoint endpoint{guard};
  std::vector<Arrival> arrivals;
};

TEST_F(WinsockUdpEndpointTest, DeliversEachDatagramWhole) {
  endpoint.Open(0);
  ASSERT_TRUE(endpoint.IsOpen());
  ASSERT_NE(endpoint.Port(), 0);
  // cp932 text, a zero byte, bytes that are lead bytes, and the empty datagram.
  const std::vector<std::string> sent = {"CB:受け渡し", std::string("a\0b", 3), "\x81\x82\xfc", "",
                                         std::string(1019, 'x')};
  for (const std::string& datagram : sent) {
    endpoint.Send("127.0.0.1", endpoint.Port(), datagram);
  }
  ASSERT_TRUE(PumpUntil([&] { return arrivals.size() >= sent.size(); }));
  PumpFor(100);
  ASSERT_EQ(arrivals.size(), sent.size());
  for (std::size_t i = 0; i < sent.size(); ++i) {
    EXPECT_EQ(arrivals[i].datagram, sent[i]) << "datagram " << i;
    EXPECT_EQ(arrivals[i].source, "127.0.0.1") << "datagram " << i;
  }
  EXPECT_TRUE(record.lines().empty());
}

// Ticks of a thread timer while a flood is being read, for FloodLetsTimersTickBetweenBatches.
struct FloodTicks {
  const std::vector<Arrival>* arrivals = nullptr;
  std::size_t flood_size = 0;
  int during_flood = 0;
};
FloodTicks flood_ticks;

void CALLBACK CountFloodTick(HWND, UINT, UINT_PTR, DWORD) {
  if (flood_ticks.arrivals->size() < flood_ticks.flood_size) {
    ++flood_ticks.during_flood;
  }
}

TEST_F(WinsockUdpEndpointTest, FloodLetsTimersTickBetweenBatches) {
  // Fewer than a socket's receive buffer holds, so that none is lost before it is read.
  constexpr std::size_t kFlood = 150;
  // A handler that takes two milliseconds a datagram: the flood takes at least 300 ms to read.
  endpoint.SetReceiveHandler([this](std::string_view datagram, std::string_view source) {
    arrivals.push_back({std::string(datagram), std::string(source)});
    Sleep(2);
  });
  endpoint.Open(0);
  WinsockUdpEndpoint sender{guard};
  sender.Open(0);
  for (std::size_t i = 0; i < kFlood; ++i) {
    sender.Send("127.0.0.1", endpoint.Port(), "CB:" + std::to_string(i));
  }
  flood_ticks = {&arrivals, kFlood, 0};
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, CountFloodTick);
  ASSERT_NE(timer, 0u);
  const bool all_read = PumpUntil([&] { return arrivals.size() >= kFlood; }, 20000);
  KillTimer(nullptr, timer);
  ASSERT_TRUE(all_read) << arrivals.size();
  // Nothing is lost between batches, and the order stays.
  EXPECT_EQ(arrivals.front().datagram, "CB:0");
  EXPECT_EQ(arrivals.back().datagram, "CB:" + std::to_string(kFlood - 1));
  // Without the pauses between batches the timer ticks only once the flood has been read.
  EXPECT_GE(flood_ticks.during_flood, 3);
}

TEST_F(WinsockUdpEndpointTest, BroadcastSendingIsAllowed) {
  // The loopback net's broadcast address: a socket without SO_BROADCAST may not send there.
  endpoint.Open(0);
  endpoint.Send("127.255.255.255", endpoint.Port(), "CB:一斉");
  ASSERT_TRUE(PumpUntil([&] { return !arrivals.empty(); }));
  EXPECT_EQ(arrivals[0].datagram, "CB:一斉");
}

TEST_F(WinsockUdpEndpointTest, CloseFromInsideTheHandlerStopsDelivery) {
  std::vector<std::string> seen;
  endpoint.SetReceiveHandler([&](std::string_view datagram, std::string_view) {
    seen.emplace_back(datagram);
    endpoint.Close();
  });
  endpoint.Open(0);
  const std::uint16_t port = endpoint.Port();
  WinsockUdpEndpoint sender{guard};
  sender.Open(0);
  for (const char* datagram : {"one", "two", "three"}) {
    sender.Send("127.0.0.1", port, datagram);
  }
  ASSERT_TRUE(PumpUntil([&] { return !seen.empty(); }));
  PumpFor(300);
  EXPECT_EQ(seen, std::vector<std::string>{"one"});
  EXPECT_FALSE(endpoint.IsOpen());
  EXPECT_EQ(endpoint.Port(), 0);
}

TEST_F(WinsockUdpEndpointTest, AReopenedEndpointListensOnTheNewPort) {
  endpoint.Open(0);
  const std::uint16_t first_port = endpoint.Port();
  endpoint.Close();
  endpoint.Open(0);
  ASSERT_TRUE(endpoint.IsOpen());
  WinsockUdpEndpoint sender{guard};
  sender.Open(0);
  sender.Send("127.0.0.1", endpoint.Port(), "again");
  ASSERT_TRUE(PumpUntil([&] { return !arrivals.empty(); }));
  EXPECT_EQ(arrivals[0].datagram, "again");
  if (first_port != endpoint.Port()) {
    // Nothing listens on the old port any more: a datagram there reaches no one.
    sender.Send("127.0.0.1", first_port, "old");
    PumpFor(200);
    EXPECT_EQ(arrivals.size(), 1u);
  }
}

TEST_F(WinsockUdpEndpointTest, HandlerThatPumpsMessagesGetsTheNextDatagramInside) {
  // A message box in the receive handler runs a message loop: the next datagram arrives inside.
  std::vector<std::string> order;
  int depth = 0;
  endpoint.SetReceiveHandler([&](std::string_view datagram, std::string_view) {
    order.push_back(std::string(datagram) + "@" + std::to_string(depth));
    if (datagram == "first") {
      ++depth;
      PumpUntil([&] { return order.size() >= 2; }, 3000);
      --depth;
    }
  });
  endpoint.Open(0);
  endpoint.Send("127.0.0.1", endpoint.Port(), "first");
  endpoint.Send("127.0.0.1", endpoint.Port(), "second");
  ASSERT_TRUE(PumpUntil([&] { return order.size() >= 2; }));
  EXPECT_EQ(order, (std::vector<std::string>{"first@0", "second@1"}));
}

TEST_F(WinsockUdpEndpointTest, APortHeldUnsharedFailsAndLeavesTheEndpointClosed) {
  endpoint.Open(0);
  // Another program that keeps its port to itself.
  WinsockSession winsock;
  const SOCKET holder = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  ASSERT_NE(holder, INVALID_SOCKET);
  const BOOL on = TRUE;
  setsockopt(holder, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on),
             sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  ASSERT_EQ(bind(holder, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  int size = sizeof address;
  getsockname(holder, reinterpret_cast<sockaddr*>(&address), &size);
  const std::uint16_t held_port = ntohs(address.sin_port);
  WinsockUdpEndpoint second{guard};
  try {
    second.Open(held_port);
    FAIL() << "opening a taken port succeeded";
  } catch (const Error& error) {
    EXPECT_NE(
        std::string(error.what()).find("UDP ポート " + std::to_string(held_port) + " を開けません"),
        std::string::npos)
        << error.what();
  }
  EXPECT_FALSE(second.IsOpen());
  closesocket(holder);
  // Opening twice is harmless and keeps the port.
  const std::uint16_t port = endpoint.Port();
  endpoint.Open(0);
  EXPECT_EQ(endpoint.Port(), port);
}

TEST_F(WinsockUdpEndpointTest, PeersOnOneMachineShareThePortAndEachHearsABroadcast) {
  endpoint.Open(0);
  WinsockUdpEndpoint second{guard};
  std::vector<Arrival> second_arrivals;
  second.SetReceiveHandler([&](std::string_view datagram, std::string_view source) {
    second_arrivals.push_back({std::string(datagram), std::string(source)});
  });
  ASSERT_NO_THROW(second.Open(endpoint.Port()));
  EXPECT_EQ(second.Port(), endpoint.Port());
  second.Send("127.255.255.255", endpoint.Port(), "CB:一斉");
  ASSERT_TRUE(PumpUntil([&] { return !arrivals.empty() && !second_arrivals.empty(); }));
  EXPECT_EQ(arrivals[0].datagram, "CB:一斉");
  EXPECT_EQ(second_arrivals[0].datagram, "CB:一斉");
}

TEST_F(WinsockUdpEndpointTest, SendFailuresRaise) {
  struct Case {
    const char* name;
    bool open;
    const char* host;
  };
  constexpr Case kCases[] = {
      {"closed endpoint", false, "127.0.0.1"},
      {"host name instead of an address", true, "localhost"},
      {"empty address", true, ""},
      {"address out of range", true, "127.0.0.256"},
  };
  for (const Case& c : kCases) {
    WinsockUdpEndpoint sender{guard};
    if (c.open) {
      sender.Open(0);
    }
    try {
      sender.Send(c.host, 9, "CB:x");
      ADD_FAILURE() << c.name << ": the send succeeded";
    } catch (const Error& error) {
      EXPECT_NE(std::string(error.what()).find("に送れません"), std::string::npos)
          << c.name << ": " << error.what();
    }
  }
}

}  // namespace
}  // namespace talvorine::win32
