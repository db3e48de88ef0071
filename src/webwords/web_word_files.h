#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "common/error_record.h"
#include "common/main_thread.h"
#include "common/steady_clock.h"
#include "common/timers.h"
#include "files/dialogs.h"
#include "files/settings.h"
#include "lookup/phrase_table.h"
#include "webwords/http_client.h"
#include "webwords/web_word_rows.h"

namespace talvorine::webwords {

struct RefreshRun;

// The web word files of the main window: the location list InetWordFiles (held in the settings
// record), its refresh by Timer3 into the web table InetWordList, and the handlers of the
// controls that edit the list. Every member runs on the main thread.
//
// A refresh reads its locations on a worker thread, so a slow server never stalls typing. The
// worker owns a copy of the list and touches nothing else but the HTTP client; the finished
// table is handed back through the main-thread queue and replaces the web table in one step.
// Whatever goes wrong in the worker (memory running out included) leaves the web table as it
// was and becomes one line of the error record.
class WebWordFiles {
 public:
  using TableBuilder = std::function<lookup::PhraseTable(WebWordRows)>;

  // How long the end of the program waits for a cancelled refresh to wind up before leaving it.
  static constexpr std::chrono::milliseconds kShutdownWait{1000};
  // A refresh that has been reading the same location this long is stuck (a hung network share,
  // a pipe nobody writes to): no healthy location takes it, since an HTTP fetch ends within
  // its 40 s of time-outs and a file at the size limit reads in well under a minute even from a
  // slow share. The next tick abandons it and starts a new refresh that leaves that location out.
  static constexpr std::chrono::minutes kStuckBound{5};
  // Refreshes abandoned while stuck whose workers have not yet come back. Each holds a thread
  // and whatever rows it had gathered; with this many out, ticks are skipped again.
  static constexpr std::size_t kMaxAbandonedWorkers = 2;

  WebWordFiles(files::Settings& settings, Timers& timers, files::Dialogs& dialogs,
               std::shared_ptr<HttpClient> http, MainThreadQueue& main_thread, ErrorRecord& record,
               const SteadyClock& clock, TableBuilder build_table = MakeWebTable);
  // Abandons a refresh in flight (see Shutdown).
  ~WebWordFiles();
  WebWordFiles(const WebWordFiles&) = delete;
  WebWordFiles& operator=(const WebWordFiles&) = delete;

  // The web table: one empty row until the first refresh has finished. A copy taken for a
  // lookup keeps its lines while a later refresh replaces the table.
  const lookup::PhraseTable& InetWordList() const { return inet_word_list_; }

  // One refresh of the web table from every location. A tick while the previous refresh is
  // still running is skipped, so refreshes never pile up behind a slow server, unless that
  // refresh is stuck (kStuckBound): it is then abandoned, and its result, if it ever comes, is
  // dropped.
  void Timer3Timer();
  // Timer3's interval follows ReloadTime (minutes); the countdown restarts only when the
  // interval changes.
  void ReloadTimeChange();
  // "追加": asks for a location and appends it unchanged.
  void Button5Click();
  // "削除": removes the selected entries, given by their positions in the list.
  void Button6Click(std::span<const std::size_t> selected);
  // Dropped files: their paths join the list in the order of the drop.
  void FormDropFiles(std::span<const std::string> paths);

  // Abandons a refresh in flight: its result is dropped, the HTTP client is cancelled, and the
  // worker is joined when it winds up within kShutdownWait, or else left to finish on its own
  // (it owns everything it touches and posts nothing more). Later ticks start no refresh.
  void Shutdown();

 private:
  friend struct RefreshRun;
  void TakeRefreshedTable(RefreshRun& run);
  // Makes way for a new refresh; false while the previous one has not handed over yet.
  bool RetirePreviousRefresh();
  // Whether the refresh in flight has been reading one location for kStuckBound.
  bool RefreshIsStuck();
  void AbandonStuckRun();
  void JoinReturnedAbandonedWorkers();
  void AbandonRun();

  // A refresh given up while stuck, until its worker comes back.
  struct Abandoned {
    std::shared_ptr<RefreshRun> run;
    std::thread worker;
    std::string stuck_location;
  };

  files::Settings& settings_;
  Timers& timers_;
  files::Dialogs& dialogs_;
  std::shared_ptr<HttpClient> http_;
  MainThreadQueue& main_thread_;
  ErrorRecord& record_;
  const SteadyClock& clock_;
  TableBuilder build_table_;

  lookup::PhraseTable inet_word_list_ = lookup::PhraseTable::OneEmptyRow();
  std::shared_ptr<RefreshRun> run_;
  std::thread worker_;     // the worker of run_
  std::thread finishing_;  // the worker before it, perhaps still freeing the table it replaced
  std::vector<Abandoned> abandoned_;
  // The location run_ was last seen reading (1 + its position; 0 before the first), and since when.
  std::size_t watched_reading_ = 0;
  SteadyClock::TimePoint watched_since_{};
  bool shut_down_ = false;
};

}  // namespace talvorine::webwords
