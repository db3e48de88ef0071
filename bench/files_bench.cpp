// Loading and saving a phrase list file of 1,000,000 lines (about 31 MB), beside a plain read
// and a plain write of the same bytes. The save replaces the file through a flushed new file,
// so it is also set beside a plain write that is flushed to the disk (fsync) before it closes.
// Each runs three times; the summary at the end gives the medians as ratios to plain I/O, beside
// the figures of the same machine before the tables kept their lines in one buffer.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "bench_summary.h"
#include "files/phrase_file.h"
#include "lookup/phrase_table.h"

namespace talvorine::files {
namespace {

constexpr std::size_t kLines = 1'000'000;

// Strokes of 1 to 6 characters, "=", a phrase of 10 to 40 cp932 bytes.
std::vector<std::string> GenerateLines() {
  static constexpr std::string_view kStrokeCharacters = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::mt19937_64 random(20261211);
  const auto below = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  std::vector<std::string> lines;
  lines.reserve(kLines);
  for (std::size_t i = 0; i < kLines; ++i) {
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

struct Workload {
  Workload()
      : folder(std::filesystem::temp_directory_path() /
               ("talvorine-files-bench-" + std::to_string(getpid()))),
        table(GenerateLines()),
        bytes(JoinPhraseFileText(table.lines())) {
    std::filesystem::create_directories(folder);
    path = (folder / "list.tvw").string();
    copy_path = (folder / "plain.tvw").string();
    SavePhraseFile(path, table);
  }
  ~Workload() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  std::filesystem::path folder;
  std::string path;       // the phrase file that is loaded and saved
  std::string copy_path;  // the file of the plain write
  lookup::PhraseTable table;
  std::string bytes;
};

Workload& TheWorkload() {
  static Workload workload;
  return workload;
}

void BM_LoadPhraseFile(benchmark::State& state) {
  Workload& work = TheWorkload();
  for (auto _ : state) {
    lookup::PhraseTable table;
    LoadPhraseFile(work.path, table);
    benchmark::DoNotOptimize(table.size());
    // Freeing the loaded table is no part of loading it.
    state.PauseTiming();
    table = lookup::PhraseTable();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * work.bytes.size()));
}

void BM_PlainRead(benchmark::State& state) {
  Workload& work = TheWorkload();
  for (auto _ : state) {
    std::FILE* file = std::fopen(work.path.c_str(), "rb");
    std::string bytes;
    char buffer[1 << 16];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
      bytes.append(buffer, count);
    }
    std::fclose(file);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * work.bytes.size()));
}

void BM_SavePhraseFile(benchmark::State& state) {
  Workload& work = TheWorkload();
  for (auto _ : state) {
    SavePhraseFile(work.path, work.table);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * work.bytes.size()));
}

void PlainWrite(benchmark::State& state, bool synced) {
  Workload& work = TheWorkload();
  for (auto _ : state) {
    std::FILE* file = std::fopen(work.copy_path.c_str(), "wb");
    std::fwrite(work.bytes.data(), 1, work.bytes.size(), file);
    if (synced) {
      std::fflush(file);
      fsync(fileno(file));
    }
    std::fclose(file);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * work.bytes.size()));
}

void BM_PlainWrite(benchmark::State& state) {
  PlainWrite(state, false);
}
void BM_PlainWriteSynced(benchmark::State& state) {
  PlainWrite(state, true);
}

constexpr int kRepetitions = 3;

BENCHMARK(BM_LoadPhraseFile)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly();
BENCHMARK(BM_PlainRead)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly();
BENCHMARK(BM_SavePhraseFile)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly();
BENCHMARK(BM_PlainWrite)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly();
BENCHMARK(BM_PlainWriteSynced)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly();

// One line of the summary: a benchmark's median, its ratio to the plain one, the goal, and
// what the same line read before.
void PrintRatio(const bench::SummaryReporter& figures, const char* what, const char* name,
                const char* plain, const char* before) {
  const std::optional<double> time = figures.Seconds(name);
  const std::optional<double> plain_time = figures.Seconds(plain);
  if (!time || !plain_time) {
    return;
  }
  std::printf("%s: %.1f ms, %.2fx %s (%.1f ms); goal at most 1.5x; before: %s\n", what, *time * 1e3,
              *time / *plain_time, plain, *plain_time * 1e3, before);
}

}  // namespace
}  // namespace talvorine::files

int main(int argc, char** argv) {
  using talvorine::files::PrintRatio;
  return talvorine::bench::RunWithSummary(argc, argv, [](const auto& figures) {
    PrintRatio(figures, "load", "BM_LoadPhraseFile", "BM_PlainRead",
               "122 ms, 4.0x BM_PlainRead (30.1 ms)");
    PrintRatio(figures, "save", "BM_SavePhraseFile", "BM_PlainWriteSynced",
               "53.4 ms, 1.6x BM_PlainWriteSynced (32.5 ms)");
  });
}
