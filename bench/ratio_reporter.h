// Ratios against a baseline of the same run: a console reporter that keeps each benchmark's
// time per iteration (with repetitions, the median of the repetitions), and a main that prints
// the ratios after the table.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Aggregate) {
        times_.try_emplace(run.benchmark_name(), run.GetAdjustedRealTime());
      } else if (run.aggregate_name == "median") {
        times_[run.run_name.str()] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // The time of what over the time of baseline; none when either did not run or the
  // baseline took no time.
  std::optional<double> Ratio(const std::string& what, const std::string& baseline) const {
    auto a = times_.find(what), b = times_.find(baseline);
    if (a == times_.end() || b == times_.end() || b->second <= 0) return std::nullopt;
    return a->second / b->second;
  }

 private:
  std::map<std::string, double> times_;
};

// A benchmark program's main: runs the benchmarks the command line selects, then hands the
// times to printRatios.
inline int RunBenchmarksWithRatios(int argc, char** argv, void (*printRatios)(const RatioReporter&)) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printRatios(reporter);
  benchmark::Shutdown();
  return 0;
}
