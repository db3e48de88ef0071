#include "webwords/web_word_collect.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <string_view>
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
    EXPECT_EQ(CollectWebWordRows(locations, http), Rows(c.rows.begin(), c.rows.end())) << c.name;
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
  EXPECT_EQ(CollectWebWordRows(locations, http),
            (Rows{"a=1", "a=2", "b=1", "b=2", "j=日本", "a=1"}));
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
    EXPECT_EQ(CollectWebWordRows(locations, http), (Rows{"one=1", "three=3"}))
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
  EXPECT_EQ(CollectWebWordRows(locations, http), (Rows{"ok=1"}));
}

TEST(WebWordCollect, AnEmptyListGivesNoRows) {
  FakeHttpClient http;
  EXPECT_TRUE(CollectWebWordRows({}, http).empty());
}

TEST(WebWordCollect, CancellationStopsBeforeTheNextLocation) {
  FakeHttpClient http;
  http.Answer("http://s.test/1", "one=1");
  const std::vector<std::string> locations = {"http://s.test/1", "http://s.test/2"};
  std::atomic<bool> cancelled{true};
  CollectWebWordRows(locations, http, &cancelled);
  EXPECT_TRUE(http.requests().empty());
}

}  // namespace
}  // namespace talvorine::webwords
