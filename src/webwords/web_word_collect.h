#pragma once

#include <atomic>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "webwords/http_client.h"

namespace talvorine::webwords {

// True when the first seven characters are "http://" in any letter case ("https://" is not).
bool IsHttpLocation(std::string_view location);

// The text of one location: the body of an "http://" location, or else the lines of the file at
// that path, each followed by CR LF. Nothing when the fetch or the reading fails for any reason.
std::optional<std::string> ReadLocationText(const std::string& location, HttpClient& http);

// One refresh's rows: every location in list order, its text split into items, rows without a
// stroke deleted. A failing location adds nothing. When cancelled becomes true the walk stops
// between locations; the rows then returned are incomplete and meant to be thrown away.
std::vector<std::string> CollectWebWordRows(std::span<const std::string> locations,
                                            HttpClient& http,
                                            const std::atomic<bool>* cancelled = nullptr);

}  // namespace talvorine::webwords
