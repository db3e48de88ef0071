#include "lookup/confirmation.h"

#include "lookup/date_time_codes.h"

namespace talvorine::lookup {

namespace {

constexpr bool IsScanWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::string TakePhrase(std::string_view line) {
  line = line.substr(0, line.find('\0'));
  // "%[^=]" needs at least one byte before the "=", and "%*c" the "=" itself.
  const std::size_t equals = line.find('=');
  if (equals == 0 || equals == std::string_view::npos) {
    return {};
  }
  std::size_t begin = equals + 1;
  while (begin < line.size() && IsScanWhiteSpace(line[begin])) {
    ++begin;
  }
  std::size_t end = begin;
  while (end < line.size() && !IsScanWhiteSpace(line[end])) {
    ++end;
  }
  return std::string(line.substr(begin, end - begin));
}

std::string ConfirmCandidate(std::optional<std::string_view> line, const Clock& clock,
                             const RegionalFormat& format) {
  const std::string phrase = line ? TakePhrase(*line) : std::string();
  return ExpandDateTimeCodes(phrase, clock, format);
}

}  // namespace talvorine::lookup
