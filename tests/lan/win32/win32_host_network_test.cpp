#include "lan/win32/win32_host_network.h"

#include <winsock2.h>

#include <windows.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include "ui/win32/wide_text.h"

namespace talvorine::win32 {
namespace {

std::optional<std::uint32_t> ParseIpv4(const std::string& text) {
  in_addr address{};
  if (inet_pton(AF_INET, text.c_str(), &address) != 1) {
    return std::nullopt;
  }
  return ntohl(address.s_addr);
}

TEST(Win32HostNetworkTest, HostNameIsTheSystemsNameInCp932) {
  Win32HostNetwork host;
  wchar_t expected[256] = {};
  DWORD size = 256;
  ASSERT_TRUE(GetComputerNameExW(ComputerNamePhysicalDnsHostname, expected, &size));
  const std::string name = host.HostName();
  ASSERT_FALSE(name.empty());
  // Host names compare as the system spells them, case included.
  EXPECT_EQ(Cp932ToWide(name), std::wstring(expected, size));
}

TEST(Win32HostNetworkTest, OwnAddressIsADottedIpv4AddressOfTheHost) {
  Win32HostNetwork host;
  const std::optional<std::string> own = host.OwnAddress();
  ASSERT_TRUE(own.has_value()) << "the host name resolves to no IPv4 address";
  const std::optional<std::uint32_t> parsed = ParseIpv4(*own);
  ASSERT_TRUE(parsed.has_value()) << *own;
  EXPECT_NE(*parsed, 0u) << *own;
}

TEST(Win32HostNetworkTest, FirstRowMaskIsAContiguousMask) {
  Win32HostNetwork host;
  const std::optional<std::string> mask = host.FirstAddressTableMask();
  ASSERT_TRUE(mask.has_value());
  const std::optional<std::uint32_t> bits = ParseIpv4(*mask);
  ASSERT_TRUE(bits.has_value()) << *mask;
  // A subnet mask is ones followed by zeros: its complement plus one is a power of two.
  const std::uint32_t host_part = ~*bits;
  EXPECT_EQ(host_part & (host_part + 1), 0u) << *mask;
}

}  // namespace
}  // namespace talvorine::win32
