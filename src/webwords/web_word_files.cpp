#include "webwords/web_word_files.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "webwords/web_word_collect.h"

namespace talvorine::webwords {

namespace {

constexpr std::string_view kAskTitle = "単語ファイルはどこにありますか？";
constexpr std::string_view kAskPrompt = "単語ファイル登録";
constexpr std::string_view kAskInitial = "http://";
constexpr int kAskMaxLength = 255;

// The spin edit's range; a value outside it would make the timer fire all the time or wrap.
constexpr int kMinReloadMinutes = 1;
constexpr int kMaxReloadMinutes = 240;
constexpr std::uint32_t kMillisecondsPerMinute = 60000;

}  // namespace

// One refresh, shared by the main thread and its worker. The worker keeps it alive for as long
// as it runs, so a worker left behind at program end still owns everything it touches.
struct RefreshRun {
  // Written before the worker starts, then only read.
  std::vector<std::string> locations;
  std::shared_ptr<HttpClient> http;
  MainThreadQueue* main_thread = nullptr;

  // Main thread only: null once the owner has abandoned the run, so a hand-over task still in
  // the queue does nothing.
  WebWordFiles* owner = nullptr;

  std::atomic<bool> cancelled{false};
  std::mutex post_gate;  // held while posting, and by Shutdown to cancel
  std::mutex mutex;
  std::condition_variable changed;
  // Guarded by mutex.
  std::optional<lookup::PhraseTable> table;     // the finished table, worker to main thread
  std::optional<lookup::PhraseTable> previous;  // the replaced table, main thread to worker
  bool handed_over = false;
  bool finished = false;

  static void Work(std::shared_ptr<RefreshRun> run);
};

void RefreshRun::Work(std::shared_ptr<RefreshRun> run) {
  {
    // Building the table indexes every row; that happens here, not on the main thread.
    lookup::PhraseTable table(CollectWebWordRows(run->locations, *run->http, &run->cancelled));
    std::optional<lookup::PhraseTable> previous;
    {
      std::lock_guard lock(run->mutex);
      run->table = std::move(table);
    }
    bool posted = false;
    {
      // Shutdown cancels under this gate: once it has, nothing more reaches the queue, which
      // may then go away with the window. The gate is not the state lock, so the hand-over
      // never waits while this thread is inside Post.
      std::lock_guard gate(run->post_gate);
      if (!run->cancelled) {
        run->main_thread->Post([run] {
          if (run->owner) {
            run->owner->TakeRefreshedTable(*run);
          }
        });
        posted = true;
      }
    }
    if (posted) {
      std::unique_lock lock(run->mutex);
      run->changed.wait(lock, [&run] { return run->handed_over || run->cancelled.load(); });
      // Taken out, not copied: a moved-from table still shares its lines, and the run itself
      // may die on the main thread.
      previous = std::exchange(run->previous, std::nullopt);
    }
    // The replaced table, often a million rows, is freed here rather than on the main thread.
  }
  std::lock_guard lock(run->mutex);
  run->finished = true;
  run->changed.notify_all();
}

WebWordFiles::WebWordFiles(files::Settings& settings, Timers& timers, files::Dialogs& dialogs,
                           std::shared_ptr<HttpClient> http, MainThreadQueue& main_thread)
    : settings_(settings),
      timers_(timers),
      dialogs_(dialogs),
      http_(std::move(http)),
      main_thread_(main_thread) {}

WebWordFiles::~WebWordFiles() {
  Shutdown();
}

void WebWordFiles::Timer3Timer() {
  if (shut_down_ || !RetirePreviousRefresh()) {
    return;
  }
  auto run = std::make_shared<RefreshRun>();
  run->locations = settings_.InetWordFiles;
  run->http = http_;
  run->main_thread = &main_thread_;
  run->owner = this;
  worker_ = std::thread(RefreshRun::Work, run);
  run_ = std::move(run);
}

bool WebWordFiles::RetirePreviousRefresh() {
  if (!run_) {
    return true;
  }
  {
    std::lock_guard lock(run_->mutex);
    if (!run_->handed_over && !run_->finished) {
      return false;
    }
  }
  // After its hand-over a worker only frees the table it replaced; the main thread does not
  // wait for that now. The worker of two refreshes back has long finished.
  if (finishing_.joinable()) {
    finishing_.join();
  }
  finishing_ = std::move(worker_);
  run_.reset();
  return true;
}

void WebWordFiles::TakeRefreshedTable(RefreshRun& run) {
  std::lock_guard lock(run.mutex);
  if (!run.table) {
    return;
  }
  // The old lines go back to the worker, so the main thread only swaps two shared pointers.
  lookup::PhraseTable previous = inet_word_list_;
  inet_word_list_ = std::move(*run.table);
  run.table.reset();
  run.previous = std::move(previous);
  run.handed_over = true;
  run.changed.notify_all();
}

void WebWordFiles::Shutdown() {
  if (shut_down_) {
    return;
  }
  shut_down_ = true;
  if (run_) {
    AbandonRun();
  }
  if (finishing_.joinable()) {
    finishing_.join();
  }
}

void WebWordFiles::AbandonRun() {
  run_->owner = nullptr;
  bool finished = false;
  {
    std::scoped_lock lock(run_->post_gate, run_->mutex);
    run_->cancelled = true;
    run_->changed.notify_all();
    finished = run_->finished;
  }
  if (!finished) {
    http_->Cancel();
    std::unique_lock lock(run_->mutex);
    finished = run_->changed.wait_for(lock, kShutdownWait, [this] { return run_->finished; });
  }
  if (finished) {
    worker_.join();
  } else {
    // A read that cannot be interrupted (a hung network share) must not hold up the program's
    // end. The worker owns its run and the client, and posts nothing after the cancellation.
    worker_.detach();
  }
  run_.reset();
}

void WebWordFiles::ReloadTimeChange() {
  const int minutes = std::clamp(settings_.ReloadTime, kMinReloadMinutes, kMaxReloadMinutes);
  timers_.SetInterval(TimerId::kForm1Timer3,
                      static_cast<std::uint32_t>(minutes) * kMillisecondsPerMinute);
}

void WebWordFiles::Button5Click() {
  std::optional<std::string> location =
      dialogs_.InputQuery(kAskTitle, kAskPrompt, kAskInitial, kAskMaxLength);
  if (location) {
    settings_.InetWordFiles.push_back(std::move(*location));
  }
}

void WebWordFiles::Button6Click(std::span<const std::size_t> selected) {
  std::vector<std::size_t> positions(selected.begin(), selected.end());
  // From the last to the first, so that each removal leaves the positions still to come valid.
  std::sort(positions.begin(), positions.end(), std::greater<>());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  std::vector<std::string>& list = settings_.InetWordFiles;
  for (std::size_t position : positions) {
    if (position < list.size()) {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(position));
    }
  }
}

void WebWordFiles::FormDropFiles(std::span<const std::string> paths) {
  settings_.InetWordFiles.insert(settings_.InetWordFiles.end(), paths.begin(), paths.end());
}

}  // namespace talvorine::webwords
