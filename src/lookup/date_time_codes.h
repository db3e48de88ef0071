#pragma once

#include <string>
#include <string_view>

#include "lookup/clock.h"

namespace talvorine::lookup {

// Replaces the eight date and time codes, in this order: 【年】 year (four digits), 【月】 month,
// 【日】 day, 【時】 hour, 【分】 minute (no leading zeros), 【曜日】 day name, 【日付】 short
// date, a space and short time, 【時間】 short time. The clock is read afresh for each code. A
// code is replaced only where it begins on a cp932 character boundary, and a replaced value is
// never searched again for the same code.
std::string ExpandDateTimeCodes(std::string_view text, const Clock& clock,
                                const RegionalFormat& format);

// Every occurrence of `code` that begins on a cp932 character boundary of `text`, searched from
// the start and each time behind the last replacement, becomes `value`.
std::string ReplaceOnCharacterBoundaries(std::string_view text, std::string_view code,
                                         std::string_view value);

}  // namespace talvorine::lookup
