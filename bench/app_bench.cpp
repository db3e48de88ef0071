// The error record under a flood of lines (every datagram received with LAN sharing on adds
// one). The record is at its cap of 20,000 lines, where each new line pushes the oldest out:
// the time per line should grow with the line's length only (bytes_per_second stays level).
#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

#include "common/error_record.h"

namespace talvorine::app {
namespace {

void BM_AddLine(benchmark::State& state) {
  const auto record_lines = static_cast<std::size_t>(state.range(0));
  const std::string line(static_cast<std::size_t>(state.range(1)), 'x');
  MemoryErrorRecord record;
  for (std::size_t i = 0; i < record_lines; ++i) {
    record.AddLine(line);
  }
  for (auto _ : state) {
    record.AddLine(line);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(1));
}
BENCHMARK(BM_AddLine)
    ->ArgNames({"record_lines", "line_bytes"})
    ->Args({20000, 64})
    ->Args({20000, 1024})
    ->Args({20000, 16384});

// A datagram of two lines goes in as two lines.
void BM_AddTwoLineText(benchmark::State& state) {
  MemoryErrorRecord record;
  const std::string text = std::string(100, 'a') + "\r\n" + std::string(100, 'b');
  for (int i = 0; i < 20000; ++i) {
    record.AddLine(text);
  }
  for (auto _ : state) {
    record.AddLine(text);
  }
}
BENCHMARK(BM_AddTwoLineText);

}  // namespace
}  // namespace talvorine::app

BENCHMARK_MAIN();
