#include "webwords/web_word_files.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <optional>
#include <string>
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
// as it runs, so a worker left behind (stuck, or at program end) still owns everything it touches.
struct RefreshRun {
  // Written before the worker starts, then only read.
  std::vector<std::string> locations;
  std::vector<std::string> skipped;
  std::shared_ptr<HttpClient> http;
  MainThreadQueue* main_thread = nullptr;
  WebWordFiles::TableBuilder build_table;

  // Main thread only: null once the owner has abandoned the run, so a hand-over task still in
  // the queue does nothing.
  WebWordFiles* owner = nullptr;

  std::atomic<bool> cancelled{false};
  // 1 + the position of the location the worker reads, for telling a stuck refresh.
  std::atomic<std::size_t> reading{0};
  std::mutex post_gate;  // held while posting, and by the main thread to cancel
  std::mutex mutex;
  std::condition_variable changed;
  // Guarded by mutex.
  std::optional<lookup::PhraseTable> table;  // the finished table, worker to main thread
  std::vector<std::string> record_lines;     // worker to main thread
  bool failed = false;                       // no table: the refresh gave up
  bool out_of_memory = false;
  std::string failure;                          // the message of what made it give up
  std::optional<lookup::PhraseTable> previous;  // the replaced table, main thread to worker
  bool handed_over = false;
  bool finished = false;

  static void Work(std::shared_ptr<RefreshRun> run);
  // Gathers and builds; records a failure instead of throwing.
  void Produce();
};

void RefreshRun::Produce() {
  try {
    CollectOptions options;
    options.cancelled = &cancelled;
    options.reading = &reading;
    options.skipped = skipped;
    CollectedWebWords collected = CollectWebWordRows(locations, *http, options);
    if (cancelled) {
      return;  // abandoned: nobody takes the result
    }
    // Building the table indexes every row; that happens here, not on the main thread.
    lookup::PhraseTable built = build_table(std::move(collected.rows));
    std::lock_guard lock(mutex);
    table = std::move(built);
    record_lines = std::move(collected.record_lines);
  } catch (const std::bad_alloc&) {
    std::lock_guard lock(mutex);
    failed = true;
    out_of_memory = true;
  } catch (const std::exception& error) {
    std::lock_guard lock(mutex);
    failed = true;
    try {
      failure = error.what();
    } catch (...) {
      // The line then goes without the message.
    }
  } catch (...) {
    std::lock_guard lock(mutex);
    failed = true;
  }
}

void RefreshRun::Work(std::shared_ptr<RefreshRun> run) {
  // Nothing may leave a thread: it would end the program.
  try {
    run->Produce();
    std::optional<lookup::PhraseTable> previous;
    bool posted = false;
    {
      // Cancelling happens under this gate: once it has, nothing more reaches the queue, which
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
  } catch (...) {
    // Posting failed (no memory for the task): the result is lost, the web table stays.
  }
  std::lock_guard lock(run->mutex);
  run->finished = true;
  run->changed.notify_all();
}

WebWordFiles::WebWordFiles(files::Settings& settings, Timers& timers, files::Dialogs& dialogs,
                           std::shared_ptr<HttpClient> http, MainThreadQueue& main_thread,
                           ErrorRecord& record, const SteadyClock& clock, TableBuilder build_table)
    : settings_(settings),
      timers_(timers),
      dialogs_(dialogs),
      http_(std::move(http)),
      main_thread_(main_thread),
      record_(record),
      clock_(clock),
      build_table_(std::move(build_table)) {}

WebWordFiles::~WebWordFiles() {
  Shutdown();
}

void WebWordFiles::Timer3Timer() {
  if (shut_down_) {
    return;
  }
  JoinReturnedAbandonedWorkers();
  if (!RetirePreviousRefresh()) {
    if (!RefreshIsStuck() || abandoned_.size() >= kMaxAbandonedWorkers) {
      return;
    }
    AbandonStuckRun();
  }
  auto run = std::make_shared<RefreshRun>();
  run->locations = settings_.InetWordFiles;
  for (const Abandoned& stuck : abandoned_) {
    run->skipped.push_back(stuck.stuck_location);
  }
  run->http = http_;
  run->main_thread = &main_thread_;
  run->build_table = build_table_;
  run->owner = this;
  watched_reading_ = 0;
  watched_since_ = clock_.Now();
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

bool WebWordFiles::RefreshIsStuck() {
  const std::size_t reading = run_->reading.load();
  const SteadyClock::TimePoint now = clock_.Now();
  if (reading != watched_reading_) {
    watched_reading_ = reading;
    watched_since_ = now;
    return false;
  }
  return now - watched_since_ >= kStuckBound;
}

void WebWordFiles::AbandonStuckRun() {
  Abandoned stuck;
  if (watched_reading_ > 0 && watched_reading_ <= run_->locations.size()) {
    stuck.stuck_location = run_->locations[watched_reading_ - 1];
  }
  run_->owner = nullptr;
  {
    std::scoped_lock lock(run_->post_gate, run_->mutex);
    run_->cancelled = true;
    run_->changed.notify_all();
  }
  record_.AddLine("単語ファイル " + stuck.stuck_location +
                  " の読み込みが終わらないため、その更新を打ち切りました");
  stuck.run = std::move(run_);
  stuck.worker = std::move(worker_);
  abandoned_.push_back(std::move(stuck));
}

void WebWordFiles::JoinReturnedAbandonedWorkers() {
  std::erase_if(abandoned_, [](Abandoned& stuck) {
    std::lock_guard lock(stuck.run->mutex);
    if (!stuck.run->finished) {
      return false;
    }
    stuck.worker.join();
    return true;
  });
}

void WebWordFiles::TakeRefreshedTable(RefreshRun& run) {
  std::unique_lock lock(run.mutex);
  if (run.failed) {
    std::string line = "単語ファイルの更新に失敗しました：";
    line += run.out_of_memory ? std::string("メモリが足りません") : run.failure;
    run.handed_over = true;
    run.changed.notify_all();
    lock.unlock();
    record_.AddLine(line);
    return;
  }
  if (!run.table) {
    return;
  }
  {
    // The old lines go back to the worker, so the main thread only swaps two shared pointers.
    // This copy goes while the lock is held: the worker's must be the last one.
    lookup::PhraseTable previous = inet_word_list_;
    inet_word_list_ = std::move(*run.table);
    run.table.reset();
    run.previous = std::move(previous);
  }
  run.handed_over = true;
  std::vector<std::string> lines = std::move(run.record_lines);
  run.changed.notify_all();
  lock.unlock();
  for (const std::string& line : lines) {
    record_.AddLine(line);
  }
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
  JoinReturnedAbandonedWorkers();
  // Still stuck: they own their runs and post nothing, so they may end after the program.
  for (Abandoned& stuck : abandoned_) {
    stuck.worker.detach();
  }
  abandoned_.clear();
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
