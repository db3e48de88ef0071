#include "lan/broadcast_address.h"

#include <array>
#include <cstdio>

namespace talvorine::lan {

namespace {

std::optional<std::array<unsigned, 4>> ParseDotted(std::string_view text) {
  std::array<unsigned, 4> octets{};
  std::size_t at = 0;
  for (std::size_t i = 0; i < octets.size(); ++i) {
    if (i > 0) {
      if (at >= text.size() || text[at] != '.') {
        return std::nullopt;
      }
      ++at;
    }
    const std::size_t start = at;
    unsigned value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 3) {
      value = value * 10 + static_cast<unsigned>(text[at] - '0');
      ++at;
    }
    if (at == start || value > 255) {
      return std::nullopt;
    }
    octets[i] = value;
  }
  if (at != text.size()) {
    return std::nullopt;
  }
  return octets;
}

}  // namespace

std::optional<std::string> BroadcastAddressOf(std::string_view address, std::string_view mask) {
  const auto a = ParseDotted(address);
  const auto m = ParseDotted(mask);
  if (!a || !m) {
    return std::nullopt;
  }
  std::array<unsigned, 4> b{};
  for (std::size_t i = 0; i < b.size(); ++i) {
    b[i] = ((*a)[i] & (*m)[i]) | (255 - (*m)[i]);
  }
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
  return std::string(text);
}

}  // namespace talvorine::lan
