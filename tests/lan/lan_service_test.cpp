#include "lan/lan_service.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/error.h"
#include "fake_lan.h"
#include "files/settings.h"

namespace talvorine::lan {
namespace {

using testing::FakeEndpoint;
using testing::FakeHostNetwork;
using testing::FakeNetwork;
using testing::RecordingLanView;

class LanServiceTest : public ::testing::Test {
 protected:
  FakeNetwork network;
  FakeEndpoint endpoint{network, "192.168.1.23"};
  FakeHostNetwork host;
  RecordingLanView view;
  files::Settings settings;
  LanService service{settings, endpoint, host, view};
};

TEST(PortOfChannel, Is5504PlusTheChannelKeptInRange) {
  EXPECT_EQ(PortOfChannel(1), 5505);
  EXPECT_EQ(PortOfChannel(50), 5554);
  EXPECT_EQ(PortOfChannel(0), 5505);
  EXPECT_EQ(PortOfChannel(-3), 5505);
  EXPECT_EQ(PortOfChannel(51), 5554);
}

TEST_F(LanServiceTest, TickFollowsTheCheckBox) {
  service.Timer2Timer();
  EXPECT_FALSE(endpoint.IsOpen());

  settings.CkNWUse = true;
  settings.NWChannel = 7;
  service.Timer2Timer();
  service.Timer2Timer();
  EXPECT_TRUE(endpoint.IsOpen());
  EXPECT_EQ(endpoint.Port(), 5511);

  settings.CkNWUse = false;
  service.Timer2Timer();
  service.Timer2Timer();
  EXPECT_FALSE(endpoint.IsOpen());
  EXPECT_EQ(endpoint.log, (std::vector<std::string>{"Open 5511", "Close"}));
}

TEST_F(LanServiceTest, AChangedChannelIsHeardAfterTheNextTick) {
  settings.CkNWUse = true;
  service.Timer2Timer();
  settings.NWChannel = 50;
  service.Timer2Timer();
  EXPECT_EQ(endpoint.Port(), 5554);

  // Switched off and on again it listens on the channel of that moment.
  settings.CkNWUse = false;
  service.Timer2Timer();
  settings.NWChannel = 3;
  settings.CkNWUse = true;
  service.Timer2Timer();
  EXPECT_EQ(endpoint.log,
            (std::vector<std::string>{"Open 5505", "Close", "Open 5554", "Close", "Open 5507"}));
}

TEST_F(LanServiceTest, AFailedOpeningRaisesAndIsTriedAgainAtTheNextTick) {
  settings.CkNWUse = true;
  endpoint.fail_open = true;
  EXPECT_THROW(service.Timer2Timer(), Error);
  EXPECT_FALSE(endpoint.IsOpen());
  endpoint.fail_open = false;
  service.Timer2Timer();
  EXPECT_TRUE(endpoint.IsOpen());
}

TEST_F(LanServiceTest, ComputesTheAddressFromOwnAddressAndMaskAndShowsIt) {
  struct Case {
    const char* mask;
    const char* broadcast;
  };
  constexpr Case kCases[] = {{"255.255.255.0", "192.168.1.255"},
                             {"255.255.0.0", "192.168.255.255"}};
  for (const Case& c : kCases) {
    settings.IPaddr.clear();
    host.mask = c.mask;
    settings.CkNWUse = true;
    service.Timer2Timer();
    EXPECT_EQ(service.BroadcastAddress(), c.broadcast) << c.mask;
    EXPECT_EQ(settings.IPaddr, c.broadcast) << c.mask;
    EXPECT_EQ(view.ipaddr, c.broadcast) << c.mask;
  }
}

TEST_F(LanServiceTest, TakesATypedAddressAsItStands) {
  settings.IPaddr = "10.0.0.255";
  service.DetermineBroadcastAddress();
  EXPECT_EQ(service.BroadcastAddress(), "10.0.0.255");
  EXPECT_TRUE(view.log.empty()) << "a typed address is not written back";

  settings.IPaddr = "127.0.0.1";
  service.DetermineBroadcastAddress();
  EXPECT_EQ(service.BroadcastAddress(), "127.0.0.1");
}

TEST_F(LanServiceTest, KeepsTheLastAddressWhenTheSystemCannotTell) {
  service.DetermineBroadcastAddress();
  ASSERT_EQ(service.BroadcastAddress(), "192.168.1.255");

  struct Case {
    const char* name;
    bool own_address;
    bool mask;
  };
  constexpr Case kCases[] = {{"no own address", false, true},
                             {"no address table", true, false},
                             {"neither", false, false}};
  for (const Case& c : kCases) {
    settings.IPaddr.clear();
    host.own_address = c.own_address ? std::optional<std::string>("10.9.8.7") : std::nullopt;
    host.mask = c.mask ? std::optional<std::string>("255.0.0.0") : std::nullopt;
    service.DetermineBroadcastAddress();
    EXPECT_EQ(service.BroadcastAddress(), "192.168.1.255") << c.name;
    EXPECT_EQ(settings.IPaddr, "192.168.1.255") << c.name;
  }
}

TEST_F(LanServiceTest, NothingIsDeterminedOnAHostWithoutAddress) {
  host.own_address.reset();
  service.DetermineBroadcastAddress();
  EXPECT_EQ(service.BroadcastAddress(), "");
  EXPECT_EQ(settings.IPaddr, "");
  EXPECT_TRUE(view.log.empty());
  EXPECT_THROW(service.SendDatagram("CB:x"), Error);
  EXPECT_TRUE(endpoint.sent.empty());
}

TEST_F(LanServiceTest, SendsToTheChannelOfTheMomentOfEachSend) {
  settings.CkNWUse = true;
  service.Timer2Timer();
  service.SendDatagram("CB:one");
  settings.NWChannel = 12;  // no tick in between
  service.SendDatagram("CB:two");
  settings.IPaddr = "10.1.1.255";
  service.DetermineBroadcastAddress();
  service.SendDatagram("CB:three");

  ASSERT_EQ(endpoint.sent.size(), 3u);
  EXPECT_EQ(endpoint.sent[0].host, "192.168.1.255");
  EXPECT_EQ(endpoint.sent[0].port, 5505);
  EXPECT_EQ(endpoint.sent[0].bytes, "CB:one");
  EXPECT_EQ(endpoint.sent[1].port, 5516);
  EXPECT_EQ(endpoint.sent[2].host, "10.1.1.255");
}

TEST_F(LanServiceTest, SendingThroughAClosedEndpointOpensItAtTheLastListeningPort) {
  service.DetermineBroadcastAddress();
  service.SendDatagram("CB:before any tick");
  EXPECT_EQ(endpoint.log, (std::vector<std::string>{"Open 5505"}));

  settings.CkNWUse = true;
  settings.NWChannel = 9;
  service.Timer2Timer();
  settings.CkNWUse = false;
  service.Timer2Timer();
  service.SendDatagram("CB:after");
  EXPECT_EQ(endpoint.Port(), 5513);
}

TEST_F(LanServiceTest, AFailedSendRaisesToTheCaller) {
  service.DetermineBroadcastAddress();
  endpoint.fail_sends = 1;
  EXPECT_THROW(service.SendDatagram("CB:x"), Error);
  EXPECT_NO_THROW(service.SendDatagram("CB:y"));
  ASSERT_EQ(endpoint.sent.size(), 1u);
  EXPECT_EQ(endpoint.sent[0].bytes, "CB:y");
}

}  // namespace
}  // namespace talvorine::lan
