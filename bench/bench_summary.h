// A benchmark program's main that prints, after the usual table, a few lines setting figures
// side by side: a benchmark against its plain counterpart, and against a figure measured before
// a change. Each benchmark's figure is its median when it runs repeated, else its one run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace talvorine::bench {

class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if (run.error_occurred || !(median || single)) {
        continue;
      }
      std::string name = run.run_name.function_name;
      if (!run.run_name.args.empty()) {
        name += "/" + run.run_name.args;
      }
      Figures& figures = figures_[name];
      figures.real_seconds =
          run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      for (const auto& [counter, value] : run.counters) {
        figures.counters[counter] = value.value;
      }
    }
  }

  // Real time per iteration, in seconds.
  std::optional<double> Seconds(const std::string& name) const {
    const auto found = figures_.find(name);
    return found == figures_.end() ? std::nullopt : std::optional(found->second.real_seconds);
  }
  std::optional<double> Counter(const std::string& name, const std::string& counter) const {
    const auto found = figures_.find(name);
    if (found == figures_.end()) {
      return std::nullopt;
    }
    const auto value = found->second.counters.find(counter);
    return value == found->second.counters.end() ? std::nullopt : std::optional(value->second);
  }

 private:
  struct Figures {
    double real_seconds = 0;
    std::map<std::string, double> counters;
  };
  std::map<std::string, Figures> figures_;
};

// Runs the benchmarks chosen on the command line, then hands their figures to `summary`.
inline int RunWithSummary(int argc, char** argv,
                          const std::function<void(const SummaryReporter&)>& summary) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n");
  summary(reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace talvorine::bench
