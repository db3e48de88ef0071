#include "lan/broadcast_address.h"

#include <gtest/gtest.h>

namespace talvorine::lan {
namespace {

TEST(BroadcastAddressOf, SetsTheHostBitsOfTheAddress) {
  struct Case {
    const char* address;
    const char* mask;
    const char* broadcast;
  };
  constexpr Case kCases[] = {
      {"192.168.1.23", "255.255.255.0", "192.168.1.255"},
      {"192.168.1.23", "255.255.0.0", "192.168.255.255"},
      {"10.213.0.2", "255.255.255.0", "10.213.0.255"},
      {"172.16.5.9", "255.240.0.0", "172.31.255.255"},
      {"10.1.2.3", "255.255.255.252", "10.1.2.3"},
      {"10.1.2.4", "255.255.255.252", "10.1.2.7"},
      {"127.0.0.1", "255.0.0.0", "127.255.255.255"},
      {"192.168.1.23", "255.255.255.255", "192.168.1.23"},
      {"192.168.1.23", "0.0.0.0", "255.255.255.255"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(BroadcastAddressOf(c.address, c.mask), c.broadcast) << c.address << " / " << c.mask;
  }
}

TEST(BroadcastAddressOf, RefusesWhatIsNotFourOctets) {
  constexpr const char* kBad[] = {"",           "192.168.1",   "192.168.1.256", "192.168.1.1.1",
                                  "192.168..1", "a.b.c.d",     "192.168.1.23 ", "-1.0.0.0",
                                  "1234.0.0.0", "192.168.1.2x"};
  for (const char* bad : kBad) {
    EXPECT_EQ(BroadcastAddressOf(bad, "255.255.255.0"), std::nullopt) << "address " << bad;
    EXPECT_EQ(BroadcastAddressOf("192.168.1.23", bad), std::nullopt) << "mask " << bad;
  }
}

}  // namespace
}  // namespace talvorine::lan
