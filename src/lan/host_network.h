#pragma once

#include <optional>
#include <string>

namespace talvorine::lan {

// What the system tells about this host's own network identity.
class HostNetwork {
 public:
  virtual ~HostNetwork() = default;
  // The host name as the system gives it (announced in "FS" and "FE", compared on "FE").
  // Raises talvorine::Error when the system cannot tell.
  virtual std::string HostName() = 0;
  // The host's own IPv4 address, dotted; nothing when the host name resolves to no address.
  virtual std::optional<std::string> OwnAddress() = 0;
  // The subnet mask of the first row of the host's IPv4 address table, dotted, in the order the
  // system gives the rows; nothing when the table cannot be read.
  virtual std::optional<std::string> FirstAddressTableMask() = 0;
};

}  // namespace talvorine::lan
