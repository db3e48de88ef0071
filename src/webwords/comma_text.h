#pragma once

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace talvorine::webwords {

// Splits comma text into its items. Bytes 1 to 32 (blanks, tabs, line breaks, other control
// characters) and the comma separate items; an item that starts with a double quote runs to the
// next quote that is not doubled, and "" inside it stands for one quote. A comma that is the last
// byte of the text adds an empty item. Bytes from 128 up never separate, so cp932 characters
// (the ideographic space included) stay inside their item. A NUL byte ends the text.
// A quoted item whose closing quote never comes runs to the end of the text and keeps every byte.
std::vector<std::string> SplitCommaText(std::string_view text);

// The same split, handing each item to on_item(std::string_view) in order instead of keeping
// them, so that a caller can count or filter the items of a large text without holding them.
// The view is valid only during the call.
template <typename OnItem>
void ForEachCommaItem(std::string_view text, OnItem&& on_item);

namespace comma_text_detail {

constexpr bool IsBlank(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value >= 1 && value <= 32;
}

// Ends an unquoted item: NUL, the other bytes up to 32, or the comma.
constexpr bool EndsPlainItem(char byte) {
  return static_cast<unsigned char>(byte) <= 32 || byte == ',';
}

}  // namespace comma_text_detail

template <typename OnItem>
void ForEachCommaItem(std::string_view text, OnItem&& on_item) {
  using comma_text_detail::EndsPlainItem;
  using comma_text_detail::IsBlank;
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

  // Only a quoted item with a doubled quote needs bytes of its own; every other item is a view
  // into the text.
  std::string unquoted;
  skip_blanks();
  while (p != end) {
    if (*p == '"') {
      ++p;
      const char* start = p;
      bool copied = false;
      while (p != end) {
        const void* quote = std::memchr(p, '"', static_cast<std::size_t>(end - p));
        const char* stop = quote ? static_cast<const char*>(quote) : end;
        if (copied) {
          unquoted.append(p, stop);
        }
        p = stop;
        if (p == end) {
          break;  // never closed: the item keeps everything up to the end
        }
        if (p + 1 != end && p[1] == '"') {
          if (!copied) {
            unquoted.assign(start, p);
            copied = true;
          }
          unquoted.push_back('"');
          p += 2;
        } else {
          break;
        }
      }
      const std::string_view item =
          copied ? std::string_view(unquoted)
                 : std::string_view(start, static_cast<std::size_t>(p - start));
      if (p != end) {
        ++p;  // over the closing quote
      }
      on_item(item);
    } else {
      const char* start = p;
      while (p != end && !EndsPlainItem(*p)) {
        ++p;
      }
      on_item(std::string_view(start, static_cast<std::size_t>(p - start)));
    }
    skip_blanks();
    if (p != end && *p == ',') {
      if (p + 1 == end) {
        on_item(std::string_view());
      }
      ++p;
      skip_blanks();
    }
  }
}

}  // namespace talvorine::webwords
