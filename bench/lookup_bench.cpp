// The stroke lookup on tables of the size a long-serving phrase list reaches: a main table of
// 1,000,000 lines and a web table of 100,000. Each benchmark times key steps from states
// prepared outside the timed part (CPU time): "key" is the time of one step, "table_line" that
// time per line of both tables, "candidate" per line listed before the key. The Naive benchmarks
// are the baseline of a list control that holds its own copy of every listed line. The summary
// at the end sets the main figures beside those of the same machine before the tables kept their
// lines in chunks of one buffer (a string of its own per line then).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "bench_summary.h"
#include "lookup/phrase_table.h"
#include "lookup/stroke_lookup.h"

namespace talvorine::lookup {
namespace {

constexpr std::size_t kMainLines = 1'000'000;
constexpr std::size_t kWebLines = 100'000;
constexpr std::size_t kTableLines = kMainLines + kWebLines;

// Strokes of 1 to 6 characters from a-z0-9, "=", a phrase of 10 to 40 cp932 bytes (hiragana,
// with one ASCII letter where the length is odd).
std::vector<std::string> GenerateLines(std::size_t count, std::uint64_t seed) {
  static constexpr std::string_view kStrokeCharacters = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::mt19937_64 random(seed);
  const auto below = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  std::vector<std::string> lines;
  lines.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::string line;
    const std::size_t stroke_length = 1 + below(6);
    for (std::size_t c = 0; c < stroke_length; ++c) {
      line += kStrokeCharacters[below(kStrokeCharacters.size())];
    }
    line += '=';
    const std::size_t phrase_length = 10 + below(31);
    if (phrase_length % 2 == 1) {
      line += static_cast<char>('A' + below(26));
    }
    for (std::size_t b = 0; b < phrase_length / 2; ++b) {
      line += '\x82';
      line += static_cast<char>(0x9F + below(0xF1 - 0x9F + 1));
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

const std::vector<std::string>& MainLines() {
  static const std::vector<std::string> lines = GenerateLines(kMainLines, 1);
  return lines;
}

const std::vector<std::string>& WebLines() {
  static const std::vector<std::string> lines = GenerateLines(kWebLines, 2);
  return lines;
}

const PhraseTable& MainTable() {
  static const PhraseTable table(MainLines());
  return table;
}

const PhraseTable& WebTable() {
  static const PhraseTable table(WebLines());
  return table;
}

constexpr KeyEvent StrokeKey(char c) {
  return KeyEvent{static_cast<std::uint16_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c), false,
                  false};
}
constexpr KeyEvent kBackspace{kVkBack, false, false};

// Times `batch` runs of `work` per iteration; `prepare` readies each run beforehand, untimed.
// Batches keep the timer's own cost out of the figures for the short key steps.
template <typename Prepare, typename Work>
void TimeBatches(benchmark::State& state, std::size_t batch, Prepare prepare, Work work) {
  for (auto _ : state) {
    state.PauseTiming();
    for (std::size_t i = 0; i < batch; ++i) {
      prepare(i);
    }
    state.ResumeTiming();
    for (std::size_t i = 0; i < batch; ++i) {
      work(i);
    }
  }
}

// Time per `count` things of each run: per key step, per table line, per candidate.
void PerRun(benchmark::State& state, const char* name, std::size_t count, std::size_t batch) {
  state.counters[name] = benchmark::Counter(
      static_cast<double>(count * batch),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Report(benchmark::State& state, std::size_t batch, std::size_t candidates_before,
            std::size_t listed_after) {
  PerRun(state, "key", 1, batch);
  PerRun(state, "table_line", kTableLines, batch);
  if (candidates_before > 0) {
    PerRun(state, "candidate", candidates_before, batch);
  }
  state.counters["candidates"] = static_cast<double>(candidates_before);
  state.counters["listed"] = static_cast<double>(listed_after);
}

// Enough runs of a step over `lines` lines to take a few tens of microseconds.
std::size_t BatchFor(std::size_t lines) {
  return std::clamp<std::size_t>(65'536 / std::max<std::size_t>(lines, 1), 1, 4'096);
}

// A lookup opened on both tables with `strokes` typed.
StrokeLookup TypedLookup(std::string_view strokes) {
  StrokeLookup lookup;
  lookup.Open(MainTable(), WebTable());
  for (const char c : strokes) {
    lookup.HandleKey(StrokeKey(c), false);
  }
  return lookup;
}

void BM_Open(benchmark::State& state) {
  constexpr std::size_t kBatch = 1'024;
  StrokeLookup lookup = TypedLookup("ab");
  TimeBatches(
      state, kBatch, [](std::size_t) {},
      [&](std::size_t) { lookup.Open(MainTable(), WebTable()); });
  Report(state, kBatch, 0, lookup.candidate_count());
}

// The first stroke key after opening: a rebuild with L = 1.
void BM_RebuildKey(benchmark::State& state) {
  StrokeLookup lookup;
  TimeBatches(
      state, 1, [&](std::size_t) { lookup.Open(MainTable(), WebTable()); },
      [&](std::size_t) { lookup.HandleKey(StrokeKey('k'), false); });
  Report(state, 1, kTableLines, lookup.candidate_count());
}

// One key step from the list that `before` left, a filter while L stays 2 or more.
void FilterKey(benchmark::State& state, std::string_view before, KeyEvent key) {
  const StrokeLookup prepared = TypedLookup(before);
  const std::size_t batch = BatchFor(prepared.candidate_count());
  std::vector<StrokeLookup> lookups(batch);
  TimeBatches(
      state, batch, [&](std::size_t i) { lookups[i] = prepared; },
      [&](std::size_t i) { lookups[i].HandleKey(key, false); });
  Report(state, batch, prepared.candidate_count(), lookups.front().candidate_count());
}

void BM_FilterKeyL2(benchmark::State& state) {
  FilterKey(state, "k", StrokeKey('7'));
}
void BM_FilterKeyL3(benchmark::State& state) {
  FilterKey(state, "k7", StrokeKey('q'));
}
void BM_BackspaceL3ToL2(benchmark::State& state) {
  FilterKey(state, "k7q", kBackspace);
}

// The baseline: a list that copies each line it lists into a string of its own.
std::vector<std::string> NaiveList(std::string_view prefix) {
  std::vector<std::string> list;
  for (const std::vector<std::string>* table : {&MainLines(), &WebLines()}) {
    for (const std::string& line : *table) {
      if (line.starts_with(prefix)) {
        list.push_back(line);
      }
    }
  }
  return list;
}

void BM_NaiveOpen(benchmark::State& state) {
  std::vector<std::string> list;
  TimeBatches(
      state, 1, [&](std::size_t) { list = {}; },
      [&](std::size_t) {
        list.reserve(kTableLines);
        list.assign(MainLines().begin(), MainLines().end());
        list.insert(list.end(), WebLines().begin(), WebLines().end());
      });
  Report(state, 1, 0, list.size());
}

void BM_NaiveRebuildKey(benchmark::State& state) {
  std::vector<std::string> list;
  TimeBatches(
      state, 1, [&](std::size_t) { list = {}; }, [&](std::size_t) { list = NaiveList("k"); });
  Report(state, 1, kTableLines, list.size());
}

void BM_NaiveFilterKeyL2(benchmark::State& state) {
  const std::vector<std::string> prepared = NaiveList("k");
  std::vector<std::string> list;
  TimeBatches(
      state, 1, [&](std::size_t) { list = prepared; },
      [&](std::size_t) {
        std::vector<std::string> narrowed;
        for (const std::string& line : list) {
          if (line.starts_with("k7")) {
            narrowed.push_back(line);
          }
        }
        list = std::move(narrowed);
      });
  Report(state, 1, prepared.size(), list.size());
}

// Loading a phrase file appends line by line: a table that shares its lines with no one grows
// in place, so this stays linear.
void BM_AppendLines(benchmark::State& state) {
  const std::vector<std::string>& source = MainLines();
  const auto count = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    PhraseTable table;
    for (std::size_t i = 0; i < count; ++i) {
      table.AppendLine(source[i]);
    }
    benchmark::DoNotOptimize(table.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The first edit of the main table while a candidate list holds it (the candidate window was
// opened since the last edit): the table must not change under the list.
void BM_FirstEditWhileListed(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    {
      PhraseTable table = MainTable();
      StrokeLookup lookup;
      lookup.Open(table, WebTable());
      state.ResumeTiming();
      table.SetLine(kMainLines / 2, "edited=line");
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
}

BENCHMARK(BM_Open)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NaiveOpen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RebuildKey)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NaiveRebuildKey)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FilterKeyL2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NaiveFilterKeyL2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FilterKeyL3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BackspaceL3ToL2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppendLines)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstEditWhileListed)->Unit(benchmark::kMicrosecond)->UseRealTime();

// One line of the summary: a figure now, the same figure before, and their ratio.
void PrintBeside(const char* what, std::optional<double> now, double before, double scale,
                 const char* unit) {
  if (!now) {
    return;
  }
  std::printf("%s: %.3g %s (before: %.3g %s, now %.2fx of that)\n", what, *now * scale, unit,
              before, unit, *now * scale / before);
}

}  // namespace
}  // namespace talvorine::lookup

int main(int argc, char** argv) {
  using talvorine::lookup::PrintBeside;
  return talvorine::bench::RunWithSummary(argc, argv, [](const auto& figures) {
    // The 11 us noted before was the CPU time of a batch of 1,024 openings.
    PrintBeside("Open", figures.Counter("BM_Open", "key"), 11, 1e9, "ns per opening");
    PrintBeside("rebuild (first stroke key)", figures.Counter("BM_RebuildKey", "table_line"), 0.33,
                1e9, "ns per table line");
    PrintBeside("filter (second stroke key)", figures.Counter("BM_FilterKeyL2", "candidate"), 0.9,
                1e9, "ns per candidate");
    PrintBeside("first edit while listed (goal under 1 ms)",
                figures.Seconds("BM_FirstEditWhileListed"), 65, 1e3, "ms");
  });
}
