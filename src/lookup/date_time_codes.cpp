#include "lookup/date_time_codes.h"

#include <array>

#include "common/cp932.h"

namespace talvorine::lookup {

namespace {

struct DateTimeCode {
  std::string_view code;
  std::string (*value)(const LocalTime& time, const RegionalFormat& format);
};

// In this order: a shorter code such as 【日】 never matches inside 【日付】, since its closing
// bracket follows the single character.
constexpr std::array<DateTimeCode, 8> kDateTimeCodes = {{
    {"【年】",
     [](const LocalTime& t, const RegionalFormat&) {
       std::string year = std::to_string(t.year);
       return year.size() < 4 ? std::string(4 - year.size(), '0') + year : year;
     }},
    {"【月】", [](const LocalTime& t, const RegionalFormat&) { return std::to_string(t.month); }},
    {"【日】", [](const LocalTime& t, const RegionalFormat&) { return std::to_string(t.day); }},
    {"【時】", [](const LocalTime& t, const RegionalFormat&) { return std::to_string(t.hour); }},
    {"【分】", [](const LocalTime& t, const RegionalFormat&) { return std::to_string(t.minute); }},
    {"【曜日】",
     [](const LocalTime& t, const RegionalFormat& f) { return f.DayName(t.day_of_week); }},
    {"【日付】", [](const LocalTime& t,
                    const RegionalFormat& f) { return f.ShortDate(t) + " " + f.ShortTime(t); }},
    {"【時間】", [](const LocalTime& t, const RegionalFormat& f) { return f.ShortTime(t); }},
}};

}  // namespace

std::string ReplaceOnCharacterBoundaries(std::string_view text, std::string_view code,
                                         std::string_view value) {
  if (code.empty() || text.find(code) == std::string_view::npos) {
    return std::string(text);
  }
  std::string result;
  result.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    if (text.substr(at).starts_with(code)) {
      result += value;
      at += code.size();
      continue;
    }
    // Step over a whole character, so a match is only ever tried on a boundary. A lead byte
    // cut off at the end is taken as it is.
    const std::size_t width = IsCp932LeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
    result += text.substr(at, width);
    at += width;
  }
  return result;
}

std::string ExpandDateTimeCodes(std::string_view text, const Clock& clock,
                                const RegionalFormat& format) {
  std::string result(text);
  for (const DateTimeCode& code : kDateTimeCodes) {
    result = ReplaceOnCharacterBoundaries(result, code.code, code.value(clock.Now(), format));
  }
  return result;
}

}  // namespace talvorine::lookup
