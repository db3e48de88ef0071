#include "webwords/web_word_collect.h"

#include <exception>
#include <utility>

#include "files/phrase_file.h"
#include "webwords/comma_text.h"
#include "webwords/web_word_rows.h"

namespace talvorine::webwords {

namespace {

constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
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

std::optional<std::string> ReadLocationText(const std::string& location, HttpClient& http) {
  // A location may fail in any way (a client that throws despite its contract, a file that
  // vanishes, memory running out on a huge answer); each one only loses its own rows.
  try {
    if (IsHttpLocation(location)) {
      HttpResult result = http.Get(WebWordRequest(location));
      if (!result.body || result.body->size() > kMaxBodyBytes) {
        return std::nullopt;
      }
      return std::move(result.body);
    }
    // The lines of a phrase file, each followed by CR LF: the same bytes a saved list holds.
    return files::JoinPhraseFileText(files::ReadPhraseFileLines(location));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::vector<std::string> CollectWebWordRows(std::span<const std::string> locations,
                                            HttpClient& http, const std::atomic<bool>* cancelled) {
  std::vector<std::string> rows;
  for (const std::string& location : locations) {
    if (cancelled && cancelled->load()) {
      break;
    }
    std::optional<std::string> text = ReadLocationText(location, http);
    if (!text) {
      continue;
    }
    std::vector<std::string> items = SplitCommaText(*text);
    text.reset();
    RemoveRowsWithoutStroke(items);
    if (rows.empty()) {
      rows = std::move(items);
    } else {
      rows.insert(rows.end(), std::make_move_iterator(items.begin()),
                  std::make_move_iterator(items.end()));
    }
  }
  return rows;
}

}  // namespace talvorine::webwords
