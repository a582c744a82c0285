// A console reporter that also keeps each benchmark's times and counters, so
// that a benchmark program can print ratios between benchmarks of one run.
#ifndef BENCH_SUMMARY_H_
#define BENCH_SUMMARY_H_

#include <unistd.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace rimbolt_bench {

class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, so that saved output stays plain text.
  SummaryReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults
                                                             : OO_Tabular) {}

  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &run : runs) {
      if (run.error_occurred) continue;
      double seconds = run.GetAdjustedRealTime() /
                       benchmark::GetTimeUnitMultiplier(run.time_unit);
      Entry &entry = entries_[Key(run)];
      // With aggregates only shown, single repetitions never come here and
      // the median comes ready-made.
      if (run.run_type == Run::RT_Aggregate) {
        if (run.aggregate_name == "median") entry.median = seconds;
        continue;
      }
      entry.seconds.push_back(seconds);
      for (const auto &counter : run.counters) {
        entry.counters[counter.first].push_back(counter.second.value);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Median seconds per iteration over the repetitions of |name| (the
  // benchmark's function name and arguments, "BM_X/42"); 0 when it did not
  // run.
  double Seconds(const std::string &name) const {
    auto it = entries_.find(name);
    if (it == entries_.end()) return 0;
    if (it->second.median > 0) return it->second.median;
    return Median(it->second.seconds);
  }

  // Largest and median value of |counter| over the single repetitions of
  // |name|; 0 when absent.
  double CounterMax(const std::string &name, const std::string &counter) const {
    std::vector<double> values = CounterValues(name, counter);
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
  }
  double CounterMedian(const std::string &name,
                       const std::string &counter) const {
    return Median(CounterValues(name, counter));
  }

 private:
  struct Entry {
    std::vector<double> seconds;
    double median = 0;
    std::map<std::string, std::vector<double>> counters;
  };

  static double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  }

  std::vector<double> CounterValues(const std::string &name,
                                    const std::string &counter) const {
    auto it = entries_.find(name);
    if (it == entries_.end()) return {};
    auto values = it->second.counters.find(counter);
    return values == it->second.counters.end() ? std::vector<double>()
                                               : values->second;
  }

  static std::string Key(const Run &run) {
    const std::string &args = run.run_name.args;
    return run.run_name.function_name + (args.empty() ? "" : "/" + args);
  }

  std::map<std::string, Entry> entries_;
};

// Runs the registered benchmarks with the command line's flags, then prints
// |print|'s summary of them. The program's exit status.
inline int RunAndSummarize(int argc, char **argv,
                           void (*print)(const SummaryReporter &)) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  print(reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace rimbolt_bench

#endif  // BENCH_SUMMARY_H_
