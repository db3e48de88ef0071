#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "lookup/clock.h"

namespace talvorine::lookup {

// The phrase of a line stroke "=" phrase as the scan "%[^=]%*c%s" reads it: after the first "="
// and the ASCII white space behind it, the bytes up to the next ASCII white space (space, tab,
// LF, VT, FF, CR) or the end. Empty for an empty line, a line that begins with "=" or has none,
// and a line with only white space after its "=". The line ends at a NUL byte, as the text the
// scan reads would. Neither part is cut at any length.
std::string TakePhrase(std::string_view line);

// The text a confirmation inserts: the phrase of the confirmed line with its date and time codes
// expanded; the empty text when no line was confirmed.
std::string ConfirmCandidate(std::optional<std::string_view> line, const Clock& clock,
                             const RegionalFormat& format);

}  // namespace talvorine::lookup
