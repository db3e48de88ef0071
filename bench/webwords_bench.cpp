// Web word files: the comma-text split, and a whole refresh from local files with the time the
// main thread spends taking the finished table over.
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

#include <time.h>
#include <unistd.h>

#include "common/main_thread.h"
#include "common/timers.h"
#include "files/dialogs.h"
#include "files/settings.h"
#include "webwords/comma_text.h"
#include "webwords/http_client.h"
#include "webwords/web_word_files.h"

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
  webwords::WebWordFiles web(settings, timers, dialogs, std::make_shared<NoHttp>(), queue);
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

}  // namespace

BENCHMARK_MAIN();
