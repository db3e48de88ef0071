#include "webwords/comma_text.h"

#include <cstring>

namespace talvorine::webwords {

namespace {

constexpr bool IsBlank(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value >= 1 && value <= 32;
}

// Ends an unquoted item: NUL, the other bytes up to 32, or the comma.
constexpr bool EndsPlainItem(char byte) {
  return static_cast<unsigned char>(byte) <= 32 || byte == ',';
}

}  // namespace

std::vector<std::string> SplitCommaText(std::string_view text) {
  // The text ends at its first NUL byte.
  if (const void* nul = std::memchr(text.data(), '\0', text.size())) {
    text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
  }
  const char* p = text.data();
  const char* const end = p + text.size();
  const auto skip_blanks = [&p, end] {
    while (p != end && IsBlank(*p)) {
      ++p;
    }
  };

  std::vector<std::string> items;
  skip_blanks();
  while (p != end) {
    if (*p == '"') {
      std::string item;
      ++p;
      while (p != end) {
        const void* quote = std::memchr(p, '"', static_cast<std::size_t>(end - p));
        const char* stop = quote ? static_cast<const char*>(quote) : end;
        item.append(p, stop);
        p = stop;
        if (p == end) {
          break;  // never closed: the item keeps everything up to the end
        }
        ++p;  // over the quote
        if (p != end && *p == '"') {
          item.push_back('"');
          ++p;
        } else {
          break;
        }
      }
      items.push_back(std::move(item));
    } else {
      const char* start = p;
      while (p != end && !EndsPlainItem(*p)) {
        ++p;
      }
      items.emplace_back(start, p);
    }
    skip_blanks();
    if (p != end && *p == ',') {
      if (p + 1 == end) {
        items.emplace_back();
      }
      ++p;
      skip_blanks();
    }
  }
  return items;
}

}  // namespace talvorine::webwords
