#include "webwords/web_word_collect.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "common/system_file.h"
#include "webwords/comma_text.h"

namespace talvorine::webwords {

namespace {

constexpr std::size_t kReadBlockBytes = 64 * 1024;

constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

LocationText Failed() {
  return {};
}

LocationText TooLong() {
  return {LocationText::Outcome::kTooLong, {}, false};
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The size of an open file, or -1 when it cannot be told (a pipe, a size past what long holds).
long FileSize(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) {
    return -1;
  }
  const long size = std::ftell(file);
  if (std::fseek(file, 0, SEEK_SET) != 0) {
    return -1;
  }
  return size;
}

// A phrase list file's text as comma text: the bytes up to the first NUL, and a line end after a
// last line without one. Line ends inside items are made CR LF later, item by item.
LocationText ReadLocationFile(const std::string& path, std::size_t max_bytes) {
  const std::unique_ptr<std::FILE, FileCloser> file(
      OpenSystemFile(path, "rb", /*deny_writers=*/true));
  if (!file) {
    return Failed();
  }
  LocationText result{LocationText::Outcome::kText, {}, true};
  const long size = FileSize(file.get());
  if (size >= 0) {
    if (static_cast<unsigned long>(size) > max_bytes) {
      return TooLong();
    }
    result.text.reserve(static_cast<std::size_t>(size) + 2);
  }
  // Read in blocks and counted, since the size may be unknown or the file may grow meanwhile.
  std::string block(kReadBlockBytes, '\0');
  for (;;) {
    const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
    if (result.text.size() + got > max_bytes) {
      return TooLong();
    }
    result.text.append(block.data(), got);
    if (got < block.size()) {
      break;
    }
  }
  if (std::ferror(file.get())) {
    return Failed();
  }
  std::string& text = result.text;
  text.resize(std::min(text.size(), text.find('\0')));
  if (!text.empty() && text.back() != '\r' && text.back() != '\n') {
    text += "\r\n";
  }
  return result;
}

bool HoldsLineEnd(std::string_view item) {
  return item.find_first_of("\r\n") != std::string_view::npos;
}

// The item with every line end (CR LF, lone CR, lone LF) written as CR LF.
void AppendWithCrLf(std::string& out, std::string_view item) {
  for (std::size_t i = 0; i < item.size(); ++i) {
    const char c = item[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < item.size() && item[i + 1] == '\n') {
        ++i;
      }
    } else {
      out += c;
    }
  }
}

std::size_t SizeWithCrLf(std::string_view item) {
  std::size_t size = item.size();
  for (std::size_t i = 0; i < item.size(); ++i) {
    if (item[i] == '\n' && (i == 0 || item[i - 1] != '\r')) {
      ++size;
    } else if (item[i] == '\r' && (i + 1 == item.size() || item[i + 1] != '\n')) {
      ++size;
    }
  }
  return size;
}

// Splits one location's text into its rows, as long as they stay within what is left of the
// limits; false (nothing added) when they would not.
bool AddLocationRows(const LocationText& location, std::size_t rows_left, WebWordRows& rows) {
  // A first pass counts without keeping anything, so a text over the limit costs no memory.
  std::size_t count = 0;
  std::size_t bytes = 0;
  bool over = false;
  ForEachCommaItem(location.text, [&](std::string_view item) {
    if (over || !HasStroke(item)) {
      return;
    }
    if (++count > rows_left) {
      over = true;
      return;
    }
    bytes += location.from_file ? SizeWithCrLf(item) : item.size();
  });
  if (over) {
    return false;
  }
  if (count == 0) {
    return true;
  }
  rows.Expect(count, bytes);
  std::string with_crlf;
  ForEachCommaItem(location.text, [&](std::string_view item) {
    if (!HasStroke(item)) {
      return;
    }
    if (location.from_file && HoldsLineEnd(item)) {
      with_crlf.clear();
      AppendWithCrLf(with_crlf, item);
      rows.Append(with_crlf);
    } else {
      rows.Append(item);
    }
  });
  return true;
}

}  // namespace

bool IsHttpLocation(std::string_view location) {
  constexpr std::string_view kScheme = "http://";
  if (location.size() < kScheme.size()) {
    return false;
  }
  for (std::size_t i = 0; i < kScheme.size(); ++i) {
    if (AsciiLower(location[i]) != kScheme[i]) {
      return false;
    }
  }
  return true;
}

LocationText ReadLocationText(const std::string& location, HttpClient& http,
                              std::size_t max_bytes) {
  // A location may fail in any way (a client that throws despite its contract, a file that
  // vanishes); each one only loses its own rows. Running out of memory is left to the refresh,
  // which gives up as a whole.
  try {
    if (IsHttpLocation(location)) {
      HttpRequest request = WebWordRequest(location);
      // The client stops reading once the body passes what the refresh has left.
      request.max_body_bytes = std::min(request.max_body_bytes, max_bytes);
      HttpResult result = http.Get(request);
      if (!result.body) {
        return result.failure == HttpFailure::kTooLarge ? TooLong() : Failed();
      }
      if (result.body->size() > max_bytes) {
        return TooLong();
      }
      return {LocationText::Outcome::kText, std::move(*result.body), false};
    }
    return ReadLocationFile(location, max_bytes);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    return Failed();
  }
}

CollectedWebWords CollectWebWordRows(std::span<const std::string> locations, HttpClient& http,
                                     const CollectOptions& options) {
  CollectedWebWords collected;
  std::size_t bytes_used = 0;
  for (std::size_t position = 0; position < locations.size(); ++position) {
    if (options.cancelled && options.cancelled->load()) {
      break;
    }
    const std::string& location = locations[position];
    if (std::find(options.skipped.begin(), options.skipped.end(), location) !=
        options.skipped.end()) {
      continue;
    }
    if (options.reading) {
      options.reading->store(position + 1);
    }
    const std::size_t bytes_left =
        bytes_used < options.limits.max_bytes ? options.limits.max_bytes - bytes_used : 0;
    const LocationText text = ReadLocationText(location, http, bytes_left);
    bool added = false;
    switch (text.outcome) {
      case LocationText::Outcome::kFailed:
        continue;
      case LocationText::Outcome::kTooLong:
        break;
      case LocationText::Outcome::kText:
        added =
            AddLocationRows(text, options.limits.max_rows - collected.rows.size(), collected.rows);
        break;
    }
    if (added) {
      bytes_used += text.text.size();
    } else {
      collected.record_lines.push_back(TooLargeLine(location, options.limits));
    }
  }
  return collected;
}

std::string TooLargeLine(std::string_view location, const RefreshLimits& limits) {
  std::string line = "単語ファイル ";
  line += location;
  line += " は、更新１回の上限（全体で ";
  line += std::to_string(limits.max_rows);
  line += " 行・";
  line += std::to_string(limits.max_bytes);
  line += " バイト）を超えるため読み込みませんでした";
  return line;
}

}  // namespace talvorine::webwords
