#include "webwords/web_word_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/fake_timers.h"
#include "support/temp_dir.h"
#include "webwords/fake_http_client.h"
#include "webwords/manual_main_thread_queue.h"
#include "webwords/web_word_collect.h"

namespace talvorine::webwords {
namespace {

using testing::FakeHttpClient;
using testing::FakeTimers;
using testing::ManualMainThreadQueue;
using testing::TempDir;
using testing::WriteFileBytes;
using Rows = std::vector<std::string>;

// The input dialog as the user answers it.
class FakeDialogs : public files::Dialogs {
 public:
  struct Query {
    std::string title;
    std::string prompt;
    std::string initial_text;
    int max_length;
  };

  std::optional<std::string> RunFileDialog(files::FileDialogId, std::string_view) override {
    ADD_FAILURE() << "no file dialog belongs to the web word files";
    return std::nullopt;
  }
  std::optional<std::string> InputQuery(std::string_view title, std::string_view prompt,
                                        std::string_view initial_text, int max_length) override {
    queries.push_back(
        {std::string(title), std::string(prompt), std::string(initial_text), max_length});
    if (answers.empty()) {
      ADD_FAILURE() << "the input dialog was not expected";
      return std::nullopt;
    }
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::deque<std::optional<std::string>> answers;
  std::vector<Query> queries;
};

// A steady clock the test moves by hand.
class ManualSteadyClock : public SteadyClock {
 public:
  TimePoint Now() const override { return now_; }
  void Advance(std::chrono::steady_clock::duration by) { now_ += by; }

 private:
  TimePoint now_{};
};

class WebWordFilesTest : public ::testing::Test {
 protected:
  // Runs one whole refresh: the tick, the worker, the hand-over on this (the main) thread.
  void Refresh() {
    web_.Timer3Timer();
    ASSERT_TRUE(queue_.RunNext()) << "the refresh never handed its table over";
  }
  Rows WebRows() const { return web_.InetWordList().lines(); }

  TempDir dir_;
  files::Settings settings_;
  FakeTimers timers_;
  FakeDialogs dialogs_;
  std::shared_ptr<FakeHttpClient> http_ = std::make_shared<FakeHttpClient>();
  ManualMainThreadQueue queue_;
  MemoryErrorRecord record_;
  ManualSteadyClock clock_;
  WebWordFiles web_{settings_, timers_, dialogs_, http_, queue_, record_, clock_};
};

TEST_F(WebWordFilesTest, TheWebTableHoldsOneEmptyRowUntilTheFirstRefresh) {
  EXPECT_EQ(WebRows(), Rows{""});
}

TEST_F(WebWordFilesTest, ARefreshReplacesTheTableWithTheRowsOfEveryLocation) {
  WriteFileBytes(dir_.File("a.tvw"), "a=1,a=2\r\nnostroke =x\r\n");
  WriteFileBytes(dir_.File("c.tvw"), "c=3");
  http_->Answer("http://s.test/b", "b=2");
  settings_.InetWordFiles = {dir_.File("a.tvw"), "http://s.test/b", dir_.File("missing.tvw"),
                             dir_.File("c.tvw"), dir_.File("a.tvw")};
  Refresh();
  EXPECT_EQ(WebRows(), (Rows{"a=1", "a=2", "b=2", "c=3", "a=1", "a=2"}));

  // Each refresh starts from nothing: what a location gave before does not stay.
  WriteFileBytes(dir_.File("a.tvw"), "new=1");
  settings_.InetWordFiles = {dir_.File("a.tvw")};
  Refresh();
  EXPECT_EQ(WebRows(), (Rows{"new=1"}));
}

TEST_F(WebWordFilesTest, AnEmptyListOrOnlyFailuresEmptyTheTable) {
  Refresh();
  EXPECT_TRUE(web_.InetWordList().empty());

  WriteFileBytes(dir_.File("a.tvw"), "a=1");
  settings_.InetWordFiles = {dir_.File("a.tvw")};
  Refresh();
  ASSERT_EQ(WebRows(), Rows{"a=1"});

  http_->Fail("http://s.test/slow", HttpFailure::kTimeout);
  settings_.InetWordFiles = {"http://s.test/slow", dir_.File("gone.tvw"), ""};
  Refresh();
  EXPECT_TRUE(web_.InetWordList().empty());
}

TEST_F(WebWordFilesTest, OnlyTheMainThreadHandOverChangesTheTable) {
  WriteFileBytes(dir_.File("a.tvw"), "a=1");
  settings_.InetWordFiles = {dir_.File("a.tvw")};
  web_.Timer3Timer();
  // Whatever the worker has done by now, the table changes only when the queue runs.
  EXPECT_EQ(WebRows(), Rows{""});
  ASSERT_TRUE(queue_.RunNext());
  EXPECT_EQ(WebRows(), Rows{"a=1"});
}

TEST_F(WebWordFilesTest, ALookupDuringAFetchSeesThePreviousTableWhole) {
  WriteFileBytes(dir_.File("old.tvw"), "o=1 o=2 o=3");
  settings_.InetWordFiles = {dir_.File("old.tvw")};
  Refresh();
  const Rows old_rows = {"o=1", "o=2", "o=3"};
  ASSERT_EQ(WebRows(), old_rows);

  WriteFileBytes(dir_.File("first.tvw"), "f=1");
  http_->Answer("http://s.test/slow", "s=1");
  http_->Block("http://s.test/slow");
  settings_.InetWordFiles = {dir_.File("first.tvw"), "http://s.test/slow"};
  web_.Timer3Timer();
  ASSERT_TRUE(http_->WaitUntilBlocked());

  // The worker has read the first location and waits for the server.
  const lookup::PhraseTable during = web_.InetWordList();
  EXPECT_EQ(during.lines(), old_rows);
  EXPECT_EQ(queue_.pending(), 0u);

  http_->Release();
  ASSERT_TRUE(queue_.RunNext());
  EXPECT_EQ(WebRows(), (Rows{"f=1", "s=1"}));
  // A copy taken for a lookup keeps the lines it had.
  EXPECT_EQ(during.lines(), old_rows);
}

TEST_F(WebWordFilesTest, ATickWhileARefreshRunsIsSkipped) {
  http_->Answer("http://s.test/slow", "s=1");
  http_->Block("http://s.test/slow");
  settings_.InetWordFiles = {"http://s.test/slow"};
  web_.Timer3Timer();
  ASSERT_TRUE(http_->WaitUntilBlocked());
  web_.Timer3Timer();
  web_.Timer3Timer();

  http_->Release();
  ASSERT_TRUE(queue_.RunNext());
  EXPECT_EQ(WebRows(), Rows{"s=1"});
  EXPECT_EQ(queue_.pending(), 0u);
  EXPECT_EQ(http_->urls(), Rows{"http://s.test/slow"});

  // Once the refresh has handed over, the next tick refreshes again.
  http_->Answer("http://s.test/slow", "s=2");
  Refresh();
  EXPECT_EQ(WebRows(), Rows{"s=2"});
  EXPECT_EQ(http_->urls().size(), 2u);
}

TEST_F(WebWordFilesTest, AListChangedDuringARefreshCountsFromTheNextOne) {
  http_->Answer("http://s.test/slow", "s=1");
  http_->Block("http://s.test/slow");
  settings_.InetWordFiles = {"http://s.test/slow"};
  web_.Timer3Timer();
  ASSERT_TRUE(http_->WaitUntilBlocked());

  WriteFileBytes(dir_.File("dropped.tvw"), "d=1");
  const std::vector<std::string> dropped = {dir_.File("dropped.tvw")};
  web_.FormDropFiles(dropped);
  web_.Button6Click(std::vector<std::size_t>{0});
  ASSERT_EQ(settings_.InetWordFiles, dropped);

  http_->Release();
  ASSERT_TRUE(queue_.RunNext());
  EXPECT_EQ(WebRows(), Rows{"s=1"});
  Refresh();
  EXPECT_EQ(WebRows(), Rows{"d=1"});
}

TEST_F(WebWordFilesTest, Timer3DrivesTheRefresh) {
  WriteFileBytes(dir_.File("a.tvw"), "a=1");
  settings_.InetWordFiles = {dir_.File("a.tvw")};
  timers_.on_tick = [this](TimerId id) {
    if (id == TimerId::kForm1Timer3) {
      web_.Timer3Timer();
    }
  };
  timers_.Start(TimerId::kForm1Timer3);
  timers_.Advance(DefaultInterval(TimerId::kForm1Timer3));
  ASSERT_TRUE(queue_.RunNext());
  EXPECT_EQ(WebRows(), Rows{"a=1"});
}

struct ReloadCase {
  int reload_time;
  std::uint32_t interval;
};

constexpr ReloadCase kReloadCases[] = {
    {5, 300000},
    {1, 60000},
    {240, 14400000},
    // Outside the spin edit's range: never a timer that fires all the time or wraps around.
    {0, 60000},
    {-3, 60000},
    {241, 14400000},
};

TEST_F(WebWordFilesTest, ReloadTimeSetsTheIntervalInMinutes) {
  for (const ReloadCase& c : kReloadCases) {
    FakeTimers timers;
    WebWordFiles web(settings_, timers, dialogs_, http_, queue_, record_, clock_);
    settings_.ReloadTime = c.reload_time;
    web.ReloadTimeChange();
    EXPECT_EQ(timers.Interval(TimerId::kForm1Timer3), c.interval) << "ReloadTime " << c.reload_time;
  }
}

TEST_F(WebWordFilesTest, OnlyAChangedIntervalRestartsTheCountdown) {
  timers_.Start(TimerId::kForm1Timer3);
  timers_.Advance(120000);
  ASSERT_EQ(timers_.DueAt(TimerId::kForm1Timer3), 600000u);

  // WindowWait shares the handler; with ReloadTime unchanged the countdown runs on.
  settings_.WindowWait = 500;
  web_.ReloadTimeChange();
  EXPECT_EQ(timers_.DueAt(TimerId::kForm1Timer3), 600000u);

  settings_.ReloadTime = 5;
  web_.ReloadTimeChange();
  EXPECT_EQ(timers_.Interval(TimerId::kForm1Timer3), 300000u);
  EXPECT_EQ(timers_.DueAt(TimerId::kForm1Timer3), 120000u + 300000u);
}

TEST_F(WebWordFilesTest, Button5AsksForALocationAndAppendsItUnchanged) {
  settings_.InetWordFiles = {"first.tvw"};
  dialogs_.answers = {"http://", std::nullopt, "", " http://s.test/日本.tvw "};
  for (int i = 0; i < 4; ++i) {
    web_.Button5Click();
  }
  EXPECT_EQ(settings_.InetWordFiles,
            (Rows{"first.tvw", "http://", "", " http://s.test/日本.tvw "}));
  ASSERT_EQ(dialogs_.queries.size(), 4u);
  const FakeDialogs::Query& query = dialogs_.queries[0];
  EXPECT_EQ(query.title, "単語ファイルはどこにありますか？");
  EXPECT_EQ(query.prompt, "単語ファイル登録");
  EXPECT_EQ(query.initial_text, "http://");
  EXPECT_EQ(query.max_length, 255);
}

struct RemoveCase {
  std::string_view name;
  std::vector<std::size_t> selected;
  std::vector<std::string_view> left;
};

const RemoveCase kRemoveCases[] = {
    {"nothing selected", {}, {"a", "b", "a", "d", "e"}},
    {"one entry", {2}, {"a", "b", "d", "e"}},
    {"several in ascending order", {1, 3}, {"a", "a", "e"}},
    {"several in any order", {4, 0, 2}, {"b", "d"}},
    {"the same entry twice", {1, 1}, {"a", "a", "d", "e"}},
    {"all of them", {0, 1, 2, 3, 4}, {}},
    {"a position past the end is ignored", {7, 0}, {"b", "a", "d", "e"}},
};

TEST_F(WebWordFilesTest, Button6RemovesTheSelectedEntries) {
  for (const RemoveCase& c : kRemoveCases) {
    settings_.InetWordFiles = {"a", "b", "a", "d", "e"};
    const std::vector<std::size_t> selected(c.selected.begin(), c.selected.end());
    web_.Button6Click(selected);
    EXPECT_EQ(settings_.InetWordFiles, Rows(c.left.begin(), c.left.end())) << c.name;
  }
}

TEST_F(WebWordFilesTest, DroppedFilesJoinTheListInTheOrderOfTheDrop) {
  settings_.InetWordFiles = {"http://s.test/a"};
  const Rows dropped = {"C:\\words\\b.tvw", "C:\\words", "C:\\words\\b.tvw"};
  web_.FormDropFiles(dropped);
  EXPECT_EQ(settings_.InetWordFiles,
            (Rows{"http://s.test/a", "C:\\words\\b.tvw", "C:\\words", "C:\\words\\b.tvw"}));
  // Nothing is fetched or read until the next refresh.
  EXPECT_TRUE(http_->requests().empty());
  EXPECT_EQ(queue_.pending(), 0u);
}

// Whatever stops a refresh: the web table stays as it was and the record gets one line, added
// on the main thread when the worker hands over.
struct FailureCase {
  std::string_view name;
  std::function<void()> raise;
  std::string_view line;
};

TEST_F(WebWordFilesTest, ARefreshThatFailsKeepsTheTableAndAddsOneRecordLine) {
  const FailureCase cases[] = {
      {"an error with a message", [] { throw std::runtime_error("broken builder"); },
       "単語ファイルの更新に失敗しました：broken builder"},
      {"memory running out", [] { throw std::bad_alloc(); },
       "単語ファイルの更新に失敗しました：メモリが足りません"},
      {"a foreign exception", [] { throw 42; }, "単語ファイルの更新に失敗しました："},
  };
  for (const FailureCase& c : cases) {
    bool fail = false;
    MemoryErrorRecord record;
    WebWordFiles web(settings_, timers_, dialogs_, http_, queue_, record, clock_,
                     [&](WebWordRows rows) {
                       if (fail) {
                         c.raise();
                       }
                       return MakeWebTable(std::move(rows));
                     });
    WriteFileBytes(dir_.File("a.tvw"), "a=1");
    settings_.InetWordFiles = {dir_.File("a.tvw")};
    web.Timer3Timer();
    ASSERT_TRUE(queue_.RunNext()) << c.name;
    ASSERT_EQ(web.InetWordList().lines(), Rows{"a=1"}) << c.name;

    fail = true;
    WriteFileBytes(dir_.File("a.tvw"), "a=2");
    web.Timer3Timer();
    ASSERT_TRUE(queue_.WaitForPending()) << c.name;
    EXPECT_TRUE(record.lines().empty()) << c.name << ": only the main thread writes the record";
    ASSERT_TRUE(queue_.RunNext()) << c.name;
    EXPECT_EQ(web.InetWordList().lines(), Rows{"a=1"}) << c.name;
    EXPECT_EQ(record.lines(), std::deque<std::string>{std::string(c.line)}) << c.name;

    // The failure does not stop later refreshes.
    fail = false;
    web.Timer3Timer();
    ASSERT_TRUE(queue_.RunNext()) << c.name;
    EXPECT_EQ(web.InetWordList().lines(), Rows{"a=2"}) << c.name;
    EXPECT_EQ(record.lines().size(), 1u) << c.name;
  }
}

TEST_F(WebWordFilesTest, ABodyOverTheRefreshLimitAddsNothingAndOneRecordLine) {
  // The fake answers with a body one byte longer than the client was allowed to read.
  http_->Answer("http://s.test/huge", std::string(kRefreshLimits.max_bytes + 1, 'a'));
  http_->Answer("http://s.test/ok", "ok=1");
  settings_.InetWordFiles = {"http://s.test/huge", "http://s.test/ok"};
  Refresh();
  EXPECT_EQ(WebRows(), Rows{"ok=1"});
  EXPECT_EQ(record_.lines(),
            std::deque<std::string>{TooLargeLine("http://s.test/huge", kRefreshLimits)});
}

constexpr std::string_view kStuckLine =
    "単語ファイル http://s.test/hung の読み込みが終わらないため、その更新を打ち切りました";

TEST_F(WebWordFilesTest, AStuckRefreshIsAbandonedAndANewOneLeavesItsLocationOut) {
  using std::chrono::minutes;
  using std::chrono::seconds;
  WriteFileBytes(dir_.File("b.tvw"), "b=1");
  http_->Answer("http://s.test/hung", "h=1");
  http_->Block("http://s.test/hung");
  settings_.InetWordFiles = {"http://s.test/hung", dir_.File("b.tvw")};
  web_.Timer3Timer();
  ASSERT_TRUE(http_->WaitUntilBlockedOn("http://s.test/hung"));

  // Until the refresh has been seen on one location for the whole bound, ticks are skipped.
  clock_.Advance(minutes(1));
  web_.Timer3Timer();
  clock_.Advance(WebWordFiles::kStuckBound - seconds(1));
  web_.Timer3Timer();
  EXPECT_EQ(http_->urls().size(), 1u);
  EXPECT_TRUE(record_.lines().empty());

  clock_.Advance(seconds(1));
  web_.Timer3Timer();
  EXPECT_EQ(record_.lines(), std::deque<std::string>{std::string(kStuckLine)});
  ASSERT_TRUE(queue_.RunNext()) << "the new refresh never handed over";
  EXPECT_EQ(WebRows(), Rows{"b=1"});
  EXPECT_EQ(http_->urls().size(), 1u) << "the hung location was asked again";

  // The hung location answers at last. The abandoned refresh's rows never reach the table; once
  // its worker is back, refreshes read that location again.
  http_->Release();
  const auto give_up = std::chrono::steady_clock::now() + seconds(20);
  while (http_->urls().size() == 1u && std::chrono::steady_clock::now() < give_up) {
    clock_.Advance(minutes(10));
    web_.Timer3Timer();
    ASSERT_TRUE(queue_.RunNext());
    EXPECT_NE(WebRows(), Rows{"h=1"}) << "the abandoned refresh handed over";
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(http_->urls().size(), 2u) << "the location was never read again";
  EXPECT_EQ(WebRows(), (Rows{"h=1", "b=1"}));
  EXPECT_EQ(queue_.pending(), 0u);
  EXPECT_EQ(record_.lines().size(), 1u);
}

TEST_F(WebWordFilesTest, AtMostTwoAbandonedWorkersAreOutAtOnce) {
  ASSERT_EQ(WebWordFiles::kMaxAbandonedWorkers, 2u);
  WriteFileBytes(dir_.File("b.tvw"), "b=1");
  const Rows hung = {"http://s.test/h1", "http://s.test/h2", "http://s.test/h3"};
  for (const std::string& url : hung) {
    http_->Answer(url, url.substr(url.size() - 2) + "=1");
    http_->Block(url);
  }
  settings_.InetWordFiles = {hung[0], hung[1], hung[2], dir_.File("b.tvw")};
  const auto stuck_for_the_bound = [this] {
    clock_.Advance(std::chrono::minutes(1));
    web_.Timer3Timer();
    clock_.Advance(WebWordFiles::kStuckBound);
    web_.Timer3Timer();
  };
  web_.Timer3Timer();
  ASSERT_TRUE(http_->WaitUntilBlockedOn(hung[0]));
  stuck_for_the_bound();
  ASSERT_TRUE(http_->WaitUntilBlockedOn(hung[1]));
  stuck_for_the_bound();
  ASSERT_TRUE(http_->WaitUntilBlockedOn(hung[2]));
  // Two workers are out: the third stuck refresh is left running, as a slow one would be.
  stuck_for_the_bound();
  stuck_for_the_bound();
  EXPECT_EQ(http_->urls(), hung);
  EXPECT_EQ(record_.lines().size(), 2u);

  http_->Release();
  ASSERT_TRUE(queue_.RunNext());
  EXPECT_EQ(WebRows(), (Rows{"h3=1", "b=1"}));
}

TEST(WebWordFilesShutdown, ARefreshInFlightIsCancelledAndHandsNothingOver) {
  files::Settings settings;
  FakeTimers timers;
  FakeDialogs dialogs;
  auto http = std::make_shared<FakeHttpClient>();
  ManualMainThreadQueue queue;
  MemoryErrorRecord record;
  ManualSteadyClock clock;
  http->Block("http://s.test/slow");
  settings.InetWordFiles = {"http://s.test/slow", "http://s.test/next"};
  {
    WebWordFiles web(settings, timers, dialogs, http, queue, record, clock);
    web.Timer3Timer();
    ASSERT_TRUE(http->WaitUntilBlocked());
  }
  EXPECT_TRUE(http->cancelled());
  EXPECT_EQ(queue.pending(), 0u);
  EXPECT_EQ(http->urls(), Rows{"http://s.test/slow"});
}

TEST(WebWordFilesShutdown, AWorkerThatCannotBeInterruptedIsLeftBehindSafely) {
  files::Settings settings;
  FakeTimers timers;
  FakeDialogs dialogs;
  ManualMainThreadQueue queue;
  MemoryErrorRecord record;
  ManualSteadyClock clock;
  // The client tells when the last owner lets go of it: the worker left behind holds it.
  std::promise<void> client_gone;
  std::future<void> client_gone_future = client_gone.get_future();
  auto* client = new FakeHttpClient;
  std::shared_ptr<FakeHttpClient> http(client, [&client_gone](FakeHttpClient* c) {
    delete c;
    client_gone.set_value();
  });
  client->SetCancelWakes(false);
  client->Answer("http://s.test/slow", "s=1");
  client->Block("http://s.test/slow");
  settings.InetWordFiles = {"http://s.test/slow", "http://s.test/next"};
  {
    WebWordFiles web(settings, timers, dialogs, std::move(http), queue, record, clock);
    web.Timer3Timer();
    ASSERT_TRUE(client->WaitUntilBlocked());
    web.Shutdown();
    web.Timer3Timer();  // the program is ending: no new refresh
  }
  // The request that ignored the cancellation comes back late with a body.
  client->Release();
  ASSERT_EQ(client_gone_future.wait_for(std::chrono::seconds(20)), std::future_status::ready)
      << "the abandoned worker never finished";
  EXPECT_EQ(queue.pending(), 0u);
}

TEST(WebWordFilesShutdown, AHandOverStillQueuedWhenTheWindowGoesDoesNothing) {
  files::Settings settings;
  FakeTimers timers;
  FakeDialogs dialogs;
  auto http = std::make_shared<FakeHttpClient>();
  http->Answer("http://s.test/a", "a=1");
  settings.InetWordFiles = {"http://s.test/a"};
  ManualMainThreadQueue queue;
  MemoryErrorRecord record;
  ManualSteadyClock clock;
  // The object lives in storage of its own, overwritten once it is gone, so that a hand-over
  // reaching the dead object would crash instead of passing by luck.
  alignas(WebWordFiles) unsigned char storage[sizeof(WebWordFiles)];
  auto* web = new (storage) WebWordFiles(settings, timers, dialogs, http, queue, record, clock);
  web->Timer3Timer();
  ASSERT_TRUE(queue.WaitForPending());
  web->~WebWordFiles();
  std::memset(storage, 0xA5, sizeof storage);
  ASSERT_TRUE(queue.RunNext(std::chrono::milliseconds(0)));
  // The run and the worker let go of the client: only this test holds it now.
  EXPECT_EQ(http.use_count(), 1);
}

}  // namespace
}  // namespace talvorine::webwords
