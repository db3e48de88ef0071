#include "webwords/web_word_collect.h"

#include <gtest/gtest.h>

#include <atomic>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/temp_dir.h"
#include "webwords/fake_http_client.h"

namespace talvorine::webwords {
namespace {

using testing::FakeHttpClient;
using testing::TempDir;
using testing::TempWorkingDir;
using testing::WriteFileBytes;
using Rows = std::vector<std::string>;

Rows RowsOf(const WebWordRows& rows) {
  const std::vector<std::string_view> views = rows.Views();
  return Rows(views.begin(), views.end());
}

Rows Collect(std::span<const std::string> locations, HttpClient& http,
             const CollectOptions& options = {}) {
  return RowsOf(CollectWebWordRows(locations, http, options).rows);
}

struct SchemeCase {
  std::string_view location;
  bool http;
};

constexpr SchemeCase kSchemeCases[] = {
    {"http://example.test/a.tvw", true},
    {"HTTP://EXAMPLE.TEST/A.TVW", true},
    {"hTtP://x", true},
    {"http://", true},  // fetched, and fails like any unreachable server
    {"https://example.test/a.tvw", false},
    {"http:/example.test", false},
    {"http:", false},
    {" http://example.test", false},
    {"", false},
    {"c:\\words\\http.tvw", false},
};

TEST(WebWordCollect, OnlyHttpInAnyLetterCaseIsFetched) {
  for (const SchemeCase& c : kSchemeCases) {
    EXPECT_EQ(IsHttpLocation(c.location), c.http) << "location \"" << c.location << "\"";
  }
}

// The rows one local file gives, by its bytes.
struct FileCase {
  std::string_view name;
  std::string_view bytes;
  std::vector<std::string_view> rows;
};

using namespace std::string_view_literals;

const FileCase kFileCases[] = {
    {"two items on one line", "a=x,b=y", {"a=x", "b=y"}},
    {"an item without stroke after a blank", "a=x y", {"a=x"}},
    {"quotes keep the blank", "\"a=x y\"", {"a=x y"}},
    {"rows without stroke go, extra = stay", "=x abc abc=d=e", {"abc=d=e"}},
    {"ideographic space inside a phrase", "あ=い　う,え=お", {"あ=い　う", "え=お"}},
    {"every line end of a phrase file", "a=1\rb=2\nc=3\r\nd=4", {"a=1", "b=2", "c=3", "d=4"}},
    {"NUL ends the file", "a=1\r\nb=2\0c=3\r\n"sv, {"a=1", "b=2"}},
    {"a lone LF inside quotes becomes CR LF", "\"a=1\nb\"", {"a=1\r\nb"}},
    {"a lone CR inside quotes becomes CR LF", "\"a=1\rb\"", {"a=1\r\nb"}},
    {"CR CR LF inside quotes is two line ends", "\"a=\r\r\nb\"", {"a=\r\n\r\nb"}},
    {"an unclosed quote ends with the last line's CR LF", "x=1 \"a=1", {"x=1", "a=1\r\n"}},
    {"an unclosed quote cut by NUL", "\"a=1\0b\"\r\n"sv, {"a=1\r\n"}},
    {"duplicates remain", "a=1 a=1\r\na=1", {"a=1", "a=1", "a=1"}},
    {"an empty file", "", {}},
};

TEST(WebWordCollect, ALocalFileIsReadAsPhraseLinesAndSplit) {
  TempDir dir;
  FakeHttpClient http;
  for (const FileCase& c : kFileCases) {
    const std::string path = dir.File("words.tvw");
    WriteFileBytes(path, c.bytes);
    const std::vector<std::string> locations = {path};
    EXPECT_EQ(Collect(locations, http), Rows(c.rows.begin(), c.rows.end())) << c.name;
  }
  EXPECT_TRUE(http.requests().empty());
}

TEST(WebWordCollect, LocationsContributeInListOrderAndFailuresAddNothing) {
  TempWorkingDir dir;
  WriteFileBytes(dir.File("a.tvw"), "a=1,a=2\r\n");
  WriteFileBytes(dir.File("自動読込.tvw"), "j=日本");
  FakeHttpClient http;
  http.Answer("HTTP://server.test/b.tvw", "b=1 b=2");
  http.Answer("http://server.test/same.tvw", "a=1");
  http.Fail("http://server.test/gone.tvw", HttpFailure::kStatus);
  const std::vector<std::string> locations = {
      "a.tvw",                      // relative to the working directory
      "missing.tvw",                // no such file
      "",                           // an empty entry
      dir.File(""),                 // a folder
      "https://server.test/b.tvw",  // not http: a file path that does not exist
      "HTTP://server.test/b.tvw",
      "http://",  // the dialog's initial text, never completed
      "http://server.test/gone.tvw",
      dir.File("自動読込.tvw"),       // a cp932 path
      "http://server.test/same.tvw",  // the same row again
  };
  EXPECT_EQ(Collect(locations, http), (Rows{"a=1", "a=2", "b=1", "b=2", "j=日本", "a=1"}));
  EXPECT_EQ(http.urls(), (Rows{"HTTP://server.test/b.tvw", "http://", "http://server.test/gone.tvw",
                               "http://server.test/same.tvw"}));
}

TEST(WebWordCollect, EveryKindOfHttpFailureAddsNothing) {
  constexpr HttpFailure kFailures[] = {HttpFailure::kConnect,   HttpFailure::kTimeout,
                                       HttpFailure::kStatus,    HttpFailure::kTooLarge,
                                       HttpFailure::kCancelled, HttpFailure::kTransfer};
  for (HttpFailure failure : kFailures) {
    FakeHttpClient http;
    http.Answer("http://s.test/1", "one=1");
    http.Fail("http://s.test/2", failure);
    http.Answer("http://s.test/3", "three=3");
    const std::vector<std::string> locations = {"http://s.test/1", "http://s.test/2",
                                                "http://s.test/3"};
    EXPECT_EQ(Collect(locations, http), (Rows{"one=1", "three=3"}))
        << "failure " << static_cast<int>(failure);
  }
}

TEST(WebWordCollect, TheRequestCarriesHeadersTimeoutsAndCap) {
  FakeHttpClient http;
  const std::vector<std::string> locations = {"HTTP://Server.test/日本.tvw"};
  CollectWebWordRows(locations, http);
  const std::vector<HttpRequest> requests = http.requests();
  ASSERT_EQ(requests.size(), 1u);
  const HttpRequest& request = requests[0];
  EXPECT_EQ(request.url, "HTTP://Server.test/日本.tvw");
  ASSERT_EQ(request.headers.size(), 2u);
  EXPECT_EQ(request.headers[0].name, "User-Agent");
  EXPECT_EQ(request.headers[0].value, "Talvorine/1.3");
  EXPECT_EQ(request.headers[1].name, "Accept");
  EXPECT_EQ(request.headers[1].value, "text/html, */*");
  EXPECT_EQ(request.connect_timeout, std::chrono::seconds(10));
  EXPECT_EQ(request.response_timeout, std::chrono::seconds(30));
  EXPECT_EQ(request.max_body_bytes, 64u * 1024u * 1024u);
  EXPECT_FALSE(request.follow_redirects);
}

// A client that breaks its contract: too long a body, or an exception.
class MisbehavingHttpClient : public HttpClient {
 public:
  HttpResult Get(const HttpRequest& request) override {
    if (request.url == "http://s.test/huge") {
      return HttpResult::Body(std::string(request.max_body_bytes + 1, 'a') + "=1");
    }
    if (request.url == "http://s.test/throws") {
      throw std::runtime_error("broken client");
    }
    return HttpResult::Body("ok=1");
  }
  void Cancel() override {}
};

TEST(WebWordCollect, ABodyOverTheCapOrAThrowingClientAddsNothing) {
  MisbehavingHttpClient http;
  const std::vector<std::string> locations = {"http://s.test/huge", "http://s.test/throws",
                                              "http://s.test/ok"};
  EXPECT_EQ(Collect(locations, http), (Rows{"ok=1"}));
}

// A location is given by its URL and body; "file:" bodies go into a local file of that name.
struct LimitCase {
  std::string_view name;
  std::vector<std::pair<std::string_view, std::string>> locations;
  Rows rows;
  std::vector<std::string_view> too_large;  // the locations that get a record line
};

constexpr RefreshLimits kSmallLimits{4, 30};

const LimitCase kLimitCases[] = {
    {"rows and bytes within both limits",
     {{"http://s.test/a", "a=1 b=2"}, {"http://s.test/b", "c=3,d=4"}},
     {"a=1", "b=2", "c=3", "d=4"},
     {}},
    {"the location that passes the row limit adds nothing; later ones still count",
     {{"http://s.test/a", "a=1 b=2 c=3"},
      {"http://s.test/b", "d=4 e=5"},
      {"http://s.test/c", "f=6"}},
     {"a=1", "b=2", "c=3", "f=6"},
     {"http://s.test/b"}},
    {"items without a stroke are not counted as rows",
     {{"http://s.test/a", "x y =z , a=1 b=2 c=3 d=4"}},
     {"a=1", "b=2", "c=3", "d=4"},
     {}},
    {"a text of exactly the bytes left is taken, the next byte is not",
     {{"http://s.test/a", "a=" + std::string(28, 'x')}, {"http://s.test/b", "b"}},
     {"a=" + std::string(28, 'x')},
     {"http://s.test/b"}},
    {"a body one byte over adds nothing, and its bytes do not count",
     {{"http://s.test/a", "a=" + std::string(29, 'x')}, {"http://s.test/b", "b=1"}},
     {"b=1"},
     {"http://s.test/a"}},
    {"a file over the byte limit",
     {{"file:big.tvw", std::string(31, 'x')}, {"file:small.tvw", "s=1"}},
     {"s=1"},
     {"big.tvw"}},
    {"a file over the row limit",
     {{"file:many.tvw", "a=1\r\nb=2\r\nc=3\r\nd=4\r\ne=5"}, {"http://s.test/b", "b=1"}},
     {"b=1"},
     {"many.tvw"}},
};

TEST(WebWordCollect, ALocationThatPassesTheRefreshLimitsAddsNothingAndOneRecordLine) {
  for (const LimitCase& c : kLimitCases) {
    TempWorkingDir dir;
    FakeHttpClient http;  // answers with whatever body it is given, over the cap or not
    std::vector<std::string> locations;
    for (const auto& [where, body] : c.locations) {
      if (where.starts_with("file:")) {
        locations.emplace_back(where.substr(5));
        WriteFileBytes(dir.File(locations.back()), body);
      } else {
        locations.emplace_back(where);
        http.Answer(locations.back(), body);
      }
    }
    CollectOptions options;
    options.limits = kSmallLimits;
    const CollectedWebWords collected = CollectWebWordRows(locations, http, options);
    EXPECT_EQ(RowsOf(collected.rows), c.rows) << c.name;
    Rows lines;
    for (std::string_view location : c.too_large) {
      lines.push_back(TooLargeLine(location, kSmallLimits));
    }
    EXPECT_EQ(collected.record_lines, lines) << c.name;
  }
}

TEST(WebWordCollect, TheRecordLineNamesTheLocationAndTheLimits) {
  EXPECT_EQ(TooLargeLine("http://s.test/%s", {2000000, 67108864}),
            "単語ファイル http://s.test/%s は、更新１回の上限（全体で 2000000 行・67108864 "
            "バイト）を超えるため読み込みませんでした");
}

TEST(WebWordCollect, TheClientIsAskedForNoMoreThanTheBytesLeft) {
  FakeHttpClient http;
  http.Answer("http://s.test/a", "a=12345");  // 7 bytes
  const std::vector<std::string> locations = {"http://s.test/a", "http://s.test/b"};
  CollectOptions options;
  options.limits = kSmallLimits;
  CollectWebWordRows(locations, http, options);
  const std::vector<HttpRequest> requests = http.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].max_body_bytes, 30u);
  EXPECT_EQ(requests[1].max_body_bytes, 23u);
}

TEST(WebWordCollect, SkippedLocationsAreNotReadAndTheReadingPositionIsShown) {
  FakeHttpClient http;
  http.Answer("http://s.test/a", "a=1");
  http.Answer("http://s.test/b", "b=1");
  const std::vector<std::string> locations = {"http://s.test/a", "http://s.test/b"};
  const std::vector<std::string> skipped = {"http://s.test/a"};
  std::atomic<std::size_t> reading{0};
  CollectOptions options;
  options.skipped = skipped;
  options.reading = &reading;
  EXPECT_EQ(Collect(locations, http, options), Rows{"b=1"});
  EXPECT_EQ(http.urls(), Rows{"http://s.test/b"});
  EXPECT_EQ(reading.load(), 2u);
}

TEST(WebWordCollect, AnEmptyListGivesNoRows) {
  FakeHttpClient http;
  const CollectedWebWords collected = CollectWebWordRows({}, http);
  EXPECT_TRUE(collected.rows.empty());
  EXPECT_TRUE(collected.record_lines.empty());
}

TEST(WebWordCollect, CancellationStopsBeforeTheNextLocation) {
  FakeHttpClient http;
  http.Answer("http://s.test/1", "one=1");
  const std::vector<std::string> locations = {"http://s.test/1", "http://s.test/2"};
  std::atomic<bool> cancelled{true};
  CollectOptions options;
  options.cancelled = &cancelled;
  CollectWebWordRows(locations, http, options);
  EXPECT_TRUE(http.requests().empty());
}

}  // namespace
}  // namespace talvorine::webwords
