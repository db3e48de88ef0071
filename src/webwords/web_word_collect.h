#pragma once

#include <atomic>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "webwords/http_client.h"
#include "webwords/web_word_rows.h"

namespace talvorine::webwords {

// What one refresh may take in, over all of its locations together: the rows it keeps and the
// bytes of the texts they come from.
struct RefreshLimits {
  std::size_t max_rows = 0;
  std::size_t max_bytes = 0;
};

// Twice the largest word lists in real use (a million rows, about 32 MB), and small enough that
// a refresh at the limit stays within a few hundred megabytes.
inline constexpr RefreshLimits kRefreshLimits{2'000'000, 64u * 1024u * 1024u};

// True when the first seven characters are "http://" in any letter case ("https://" is not).
bool IsHttpLocation(std::string_view location);

// The text of one location, or why there is none.
struct LocationText {
  enum class Outcome {
    kText,
    kFailed,   // fetching or reading failed: the location adds nothing, silently
    kTooLong,  // the text is longer than the bytes it may have
  };
  Outcome outcome = Outcome::kFailed;
  std::string text;
  // A file's text: line ends inside an item count as CR LF, as in the lines a phrase list gives.
  bool from_file = false;
};

// The text of one location: the body of an "http://" location, or else the bytes of the file at
// that path (up to its first NUL byte, with CR LF after a last line that lacks a line end). A text
// longer than max_bytes is not read into memory whole.
LocationText ReadLocationText(const std::string& location, HttpClient& http,
                              std::size_t max_bytes = kRefreshLimits.max_bytes);

struct CollectOptions {
  RefreshLimits limits = kRefreshLimits;
  // When it becomes true the walk stops between locations; the rows then returned are
  // incomplete and meant to be thrown away.
  const std::atomic<bool>* cancelled = nullptr;
  // Set to 1 + the list position of a location before it is read, so that another thread can
  // tell a refresh that is stuck on one location from one that moves on.
  std::atomic<std::size_t>* reading = nullptr;
  // Locations that add nothing without being read: an earlier refresh is still stuck on them.
  std::span<const std::string> skipped;
};

// One refresh's rows and the record lines it asks for.
struct CollectedWebWords {
  WebWordRows rows;
  // One line for each location that would have taken the refresh past its limits; such a
  // location adds nothing, and the locations after it still count.
  std::vector<std::string> record_lines;
};

// Every location in list order, its text split into items, rows without a stroke deleted. A
// failing location adds nothing.
CollectedWebWords CollectWebWordRows(std::span<const std::string> locations, HttpClient& http,
                                     const CollectOptions& options = {});

// The record line of a location that passed the limits.
std::string TooLargeLine(std::string_view location, const RefreshLimits& limits);

}  // namespace talvorine::webwords
