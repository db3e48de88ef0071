#include "lan/posix/posix_host_network.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <unistd.h>

#include <utility>

#include "common/encoding.h"
#include "common/error.h"

namespace talvorine::lan {

namespace {

struct InterfaceAddress {
  std::string address;
  std::string mask;
};

std::string Dotted(const sockaddr* address) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
  return text;
}

std::optional<InterfaceAddress> FirstNonLoopbackInterface() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) {
    return std::nullopt;
  }
  std::optional<InterfaceAddress> found;
  for (const ifaddrs* entry = list; entry != nullptr && !found; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_netmask == nullptr ||
        entry->ifa_addr->sa_family != AF_INET || (entry->ifa_flags & IFF_LOOPBACK) ||
        !(entry->ifa_flags & IFF_UP)) {
      continue;
    }
    found = InterfaceAddress{Dotted(entry->ifa_addr), Dotted(entry->ifa_netmask)};
  }
  freeifaddrs(list);
  return found;
}

}  // namespace

std::string PosixHostNetwork::HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) {
    throw Error("ホスト名を取得できません");
  }
  return Utf8ToCp932(name);
}

std::optional<std::string> PosixHostNetwork::OwnAddress() {
  if (auto found = FirstNonLoopbackInterface()) {
    return std::move(found->address);
  }
  return std::nullopt;
}

std::optional<std::string> PosixHostNetwork::FirstAddressTableMask() {
  if (auto found = FirstNonLoopbackInterface()) {
    return std::move(found->mask);
  }
  return std::nullopt;
}

}  // namespace talvorine::lan
