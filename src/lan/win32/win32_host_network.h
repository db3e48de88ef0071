#pragma once

#include <optional>
#include <string>

#include "lan/host_network.h"
#include "lan/win32/winsock_session.h"

namespace talvorine::win32 {

// The host's name, address and address table from Winsock and the IP helper.
class Win32HostNetwork : public lan::HostNetwork {
 public:
  // The host name in cp932, whatever the system's ANSI code page: taken as UTF-16 where the
  // system offers it (GetHostNameW), else from gethostname read in the ANSI code page.
  std::string HostName() override;
  // The first IPv4 address the host name resolves to.
  std::optional<std::string> OwnAddress() override;
  // The mask of row 0 of GetIpAddrTable, unsorted.
  std::optional<std::string> FirstAddressTableMask() override;

 private:
  std::wstring WideHostName();

  WinsockSession winsock_;
};

}  // namespace talvorine::win32
