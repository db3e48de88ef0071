#pragma once

#include <optional>
#include <string>

#include "lan/host_network.h"

namespace talvorine::lan {

// The host's name and its first non-loopback IPv4 interface (getifaddrs). No name is resolved:
// the own address and mask are those of that interface, so nothing goes to a name server.
class PosixHostNetwork : public HostNetwork {
 public:
  std::string HostName() override;
  std::optional<std::string> OwnAddress() override;
  std::optional<std::string> FirstAddressTableMask() override;
};

}  // namespace talvorine::lan
