// A web word file's whole path, from an HTTP body (and the same bytes as a local file) to the
// finished web table, under refresh limits taken from the input: whatever a server sends, the
// refresh keeps exactly the rows of the locations it takes, drops the others whole with one
// record line each, and never passes its limits.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "files/phrase_file.h"
#include "lookup/phrase_table.h"
#include "webwords/comma_text.h"
#include "webwords/http_client.h"
#include "webwords/web_word_collect.h"
#include "webwords/web_word_rows.h"

namespace {

using namespace talvorine;
using namespace talvorine::webwords;

void Check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

constexpr std::string_view kUrl = "http://fuzz.test/words.tvw";
constexpr std::string_view kFile = "words.tvw";

// A server that sends the body it was given, whatever the request allows: the refresh must
// enforce its own limits.
class OneBodyHttp : public HttpClient {
 public:
  explicit OneBodyHttp(std::string body) : body_(std::move(body)) {}
  HttpResult Get(const HttpRequest& request) override {
    return request.url == kUrl ? HttpResult::Body(body_)
                               : HttpResult::Failed(HttpFailure::kConnect);
  }
  void Cancel() override {}

 private:
  std::string body_;
};

// The rows of one text, the plain way: every item kept, then those without a stroke deleted.
std::vector<std::string> ReferenceRows(std::string_view text) {
  std::vector<std::string> rows = SplitCommaText(text);
  RemoveRowsWithoutStroke(rows);
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  const RefreshLimits limits{data[0], static_cast<std::size_t>(data[1]) * 16};
  const std::string body(reinterpret_cast<const char*>(data) + 2, size - 2);

  std::FILE* file = std::fopen(std::string(kFile).c_str(), "wb");
  Check(file != nullptr);
  Check(std::fwrite(body.data(), 1, body.size(), file) == body.size());
  std::fclose(file);

  OneBodyHttp http(body);
  const std::vector<std::string> locations = {std::string(kUrl), std::string(kFile)};
  // A local file is read as the lines of a phrase list, each followed by CR LF.
  const std::vector<std::string> expected_by_location[] = {
      ReferenceRows(body),
      ReferenceRows(files::JoinPhraseFileText(files::SplitPhraseFileText(body)))};

  CollectOptions options;
  options.limits = limits;
  CollectedWebWords collected = CollectWebWordRows(locations, http, options);

  std::vector<std::string> expected;
  std::size_t line = 0;
  for (std::size_t i = 0; i < locations.size(); ++i) {
    if (line < collected.record_lines.size() &&
        collected.record_lines[line] == TooLargeLine(locations[i], limits)) {
      ++line;  // dropped whole
      continue;
    }
    expected.insert(expected.end(), expected_by_location[i].begin(), expected_by_location[i].end());
  }
  Check(line == collected.record_lines.size());
  // The first location has the whole of the limits: it is dropped only when it passes them.
  const bool first_fits =
      body.size() <= limits.max_bytes && expected_by_location[0].size() <= limits.max_rows;
  Check(first_fits == (collected.record_lines.empty() ||
                       collected.record_lines[0] != TooLargeLine(locations[0], limits)));
  Check(collected.rows.size() <= limits.max_rows);

  const lookup::PhraseTable table = MakeWebTable(std::move(collected.rows));
  Check(table.lines() == expected);
  for (const std::string& row : table.lines()) {
    Check(HasStroke(row) && row.find('\0') == std::string::npos);
  }
  unlink(std::string(kFile).c_str());
  return 0;
}
