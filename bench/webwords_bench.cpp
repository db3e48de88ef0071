// Web word files: the comma-text split, a whole refresh from local files with the time the
// main thread spends taking the finished table over, and the peak memory of a refresh against
// the bytes of text it fetched.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "common/error_record.h"
#include "common/main_thread.h"
#include "common/steady_clock.h"
#include "common/timers.h"
#include "files/dialogs.h"
#include "files/settings.h"
#include "webwords/comma_text.h"
#include "webwords/http_client.h"
#include "webwords/web_word_collect.h"
#include "webwords/web_word_files.h"

// Every heap block of this program is counted by its usable size, so that a benchmark can read
// the peak of live heap bytes over a stretch of work.
namespace {
std::atomic<std::int64_t> g_live_bytes{0};
std::atomic<std::int64_t> g_peak_bytes{0};

void* CountedAlloc(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  const std::int64_t live =
      g_live_bytes.fetch_add(static_cast<std::int64_t>(malloc_usable_size(block))) +
      static_cast<std::int64_t>(malloc_usable_size(block));
  std::int64_t peak = g_peak_bytes.load();
  while (live > peak && !g_peak_bytes.compare_exchange_weak(peak, live)) {
  }
  return block;
}

void CountedFree(void* block) {
  if (block != nullptr) {
    g_live_bytes.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(block)));
    std::free(block);
  }
}
}  // namespace

void* operator new(std::size_t size) {
  return CountedAlloc(size);
}
void* operator new[](std::size_t size) {
  return CountedAlloc(size);
}
void operator delete(void* block) noexcept {
  CountedFree(block);
}
void operator delete[](void* block) noexcept {
  CountedFree(block);
}
void operator delete(void* block, std::size_t) noexcept {
  CountedFree(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  CountedFree(block);
}

namespace {

using namespace talvorine;

// Items as web word files hold them: short strokes, cp932 phrases, some quoted with blanks.
std::string MakeWordText(std::size_t items, std::size_t seed) {
  std::string text;
  text.reserve(items * 40);
  for (std::size_t i = 0; i < items; ++i) {
    const std::size_t n = i + seed;
    const std::string stroke = "k" + std::to_string(n % 100000);
    // "日本語の語句" in cp932, then a number.
    const std::string phrase =
        "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x8c\xea\x8b\xe5" + std::to_string(n);
    switch (n % 10) {
      case 0:
      case 1:
        text += "\"" + stroke + "=" + phrase + " \x81\x40 " + phrase + "\"\r\n";
        break;
      case 2:
        text += stroke + "=" + phrase + ",";
        break;
      default:
        text += stroke + "=" + phrase + "\r\n";
        break;
    }
  }
  return text;
}

void BM_SplitCommaText(benchmark::State& state) {
  const std::string text = MakeWordText(static_cast<std::size_t>(state.range(0)), 0);
  for (auto _ : state) {
    std::vector<std::string> items = webwords::SplitCommaText(text);
    benchmark::DoNotOptimize(items.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SplitCommaText)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// CPU time of the calling thread: the hand-over's own work, without the time the loaded machine
// gives to other threads.
double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

class BenchQueue : public MainThreadQueue {
 public:
  void Post(std::function<void()> task) override {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    posted_.notify_all();
  }
  std::function<void()> Take() {
    std::unique_lock lock(mutex_);
    posted_.wait(lock, [this] { return !tasks_.empty(); });
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    return task;
  }

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
};

class NoTimers : public Timers {
 public:
  void Start(TimerId) override {}
  void Stop(TimerId) override {}
  void SetInterval(TimerId, std::uint32_t) override {}
  bool IsRunning(TimerId) const override { return false; }
  std::uint32_t Interval(TimerId) const override { return 0; }
};

class NoDialogs : public files::Dialogs {
 public:
  std::optional<std::string> RunFileDialog(files::FileDialogId, std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> InputQuery(std::string_view, std::string_view, std::string_view,
                                        int) override {
    return std::nullopt;
  }
};

class NoHttp : public webwords::HttpClient {
 public:
  webwords::HttpResult Get(const webwords::HttpRequest&) override {
    return webwords::HttpResult::Failed(webwords::HttpFailure::kConnect);
  }
  void Cancel() override {}
};

// Ten local files of 100,000 items each, 1,000,000 in all. Each iteration is one whole refresh
// over a web table that already holds the previous refresh's million rows; the counters give
// the main thread's share: the tick that starts the worker and the hand-over of the table.
void BM_RefreshFromLocalFiles(benchmark::State& state) {
  constexpr std::size_t kFiles = 10;
  constexpr std::size_t kItemsPerFile = 100000;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("webwords_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  files::Settings settings;
  for (std::size_t f = 0; f < kFiles; ++f) {
    const std::filesystem::path path = dir / ("words" + std::to_string(f) + ".tvw");
    const std::string text = MakeWordText(kItemsPerFile, f * kItemsPerFile);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    settings.InetWordFiles.push_back(path.string());
  }

  NoTimers timers;
  NoDialogs dialogs;
  BenchQueue queue;
  MemoryErrorRecord record;
  SystemSteadyClock clock;
  webwords::WebWordFiles web(settings, timers, dialogs, std::make_shared<NoHttp>(), queue, record,
                             clock);
  web.Timer3Timer();
  queue.Take()();  // the table the measured refreshes replace

  using Clock = std::chrono::steady_clock;
  double tick_ms_max = 0;
  double handover_ms_max = 0;
  double handover_ms_sum = 0;
  double handover_cpu_ms_max = 0;
  for (auto _ : state) {
    const auto tick_start = Clock::now();
    web.Timer3Timer();
    const auto tick_end = Clock::now();
    std::function<void()> handover = queue.Take();
    const double handover_cpu_start = ThreadCpuMs();
    const auto handover_start = Clock::now();
    handover();
    const auto handover_end = Clock::now();
    handover_cpu_ms_max = std::max(handover_cpu_ms_max, ThreadCpuMs() - handover_cpu_start);
    const double tick_ms = std::chrono::duration<double, std::milli>(tick_end - tick_start).count();
    const double handover_ms =
        std::chrono::duration<double, std::milli>(handover_end - handover_start).count();
    tick_ms_max = std::max(tick_ms_max, tick_ms);
    handover_ms_max = std::max(handover_ms_max, handover_ms);
    handover_ms_sum += handover_ms;
  }
  if (web.InetWordList().size() != kFiles * kItemsPerFile) {
    state.SkipWithError("the refresh lost rows");
  }
  state.counters["rows"] = static_cast<double>(web.InetWordList().size());
  state.counters["tick_ms_max"] = tick_ms_max;
  state.counters["handover_ms_max"] = handover_ms_max;
  state.counters["handover_cpu_ms_max"] = handover_cpu_ms_max;
  state.counters["handover_ms_avg"] = handover_ms_sum / static_cast<double>(state.iterations());
  web.Shutdown();
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_RefreshFromLocalFiles)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// Serves fixed bodies by URL, as a server on the network would.
class BodyHttp : public webwords::HttpClient {
 public:
  std::vector<std::pair<std::string, std::string>> bodies;
  webwords::HttpResult Get(const webwords::HttpRequest& request) override {
    for (const auto& [url, body] : bodies) {
      if (url == request.url) {
        if (body.size() > request.max_body_bytes) {
          return webwords::HttpResult::Failed(webwords::HttpFailure::kTooLarge);
        }
        return webwords::HttpResult::Body(body);  // the received copy is the refresh's own
      }
    }
    return webwords::HttpResult::Failed(webwords::HttpFailure::kConnect);
  }
  void Cancel() override {}
};

enum RefreshShape {
  kOneLargeList,       // a million real rows from one server
  kTenLists,           // the same million from ten servers
  kOneLargeFile,       // the same million from one local file
  kShortRowsAtTheCap,  // "a=," up to the row limit: the most rows per byte a table can get
  kHostileBody,        // 64 MiB of "a=,": 22 million rows, over the limit
};

// The worker's whole work for one refresh (fetching, splitting, building the table), measured
// by the peak of live heap bytes above what was live before, against the bytes of text it read.
void BM_RefreshPeakMemory(benchmark::State& state) {
  const auto shape = static_cast<RefreshShape>(state.range(0));
  BodyHttp http;
  std::vector<std::string> locations;
  std::filesystem::path file;
  switch (shape) {
    case kOneLargeList:
      http.bodies.emplace_back("http://s.test/words", MakeWordText(1000000, 0));
      break;
    case kTenLists:
      for (std::size_t i = 0; i < 10; ++i) {
        http.bodies.emplace_back("http://s.test/words" + std::to_string(i),
                                 MakeWordText(100000, i * 100000));
      }
      break;
    case kOneLargeFile: {
      file = std::filesystem::temp_directory_path() /
             ("webwords_peak_" + std::to_string(::getpid()) + ".tvw");
      const std::string text = MakeWordText(1000000, 0);
      std::FILE* out = std::fopen(file.c_str(), "wb");
      std::fwrite(text.data(), 1, text.size(), out);
      std::fclose(out);
      locations.push_back(file.string());
      break;
    }
    case kShortRowsAtTheCap: {
      std::string text;
      for (std::size_t i = 0; i < webwords::kRefreshLimits.max_rows; ++i) {
        text += "a=,";
      }
      http.bodies.emplace_back("http://s.test/short", std::move(text));
      break;
    }
    case kHostileBody: {
      std::string text;
      while (text.size() + 3 <= webwords::kRefreshLimits.max_bytes) {
        text += "a=,";
      }
      http.bodies.emplace_back("http://s.test/hostile", std::move(text));
      break;
    }
  }
  std::size_t text_bytes = 0;
  for (const auto& [url, body] : http.bodies) {
    locations.push_back(url);
    text_bytes += body.size();
  }
  if (!file.empty()) {
    text_bytes = std::filesystem::file_size(file);
  }

  std::int64_t peak_bytes = 0;
  std::size_t rows = 0;
  for (auto _ : state) {
    const std::int64_t before = g_live_bytes.load();
    g_peak_bytes.store(before);
    {
      webwords::CollectedWebWords collected = webwords::CollectWebWordRows(locations, http);
      const lookup::PhraseTable table = webwords::MakeWebTable(std::move(collected.rows));
      rows = table.size();
    }
    peak_bytes = std::max(peak_bytes, g_peak_bytes.load() - before);
  }
  if (!file.empty()) {
    std::filesystem::remove(file);
  }
  const double text_mb = static_cast<double>(text_bytes) / 1e6;
  const double peak_mb = static_cast<double>(peak_bytes) / 1e6;
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["text_MB"] = text_mb;
  state.counters["peak_MB"] = peak_mb;
  state.counters["peak_per_text"] = peak_mb / text_mb;
}
BENCHMARK(BM_RefreshPeakMemory)
    ->ArgName("shape")
    ->DenseRange(kOneLargeList, kHostileBody)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
