#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talvorine::lan {

// The broadcast address of a network: each octet is (a AND m) OR (255 - m) of the address and
// the mask, as dotted text. Nothing when either is not four dotted numbers from 0 to 255.
std::optional<std::string> BroadcastAddressOf(std::string_view address, std::string_view mask);

}  // namespace talvorine::lan
