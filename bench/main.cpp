// The benchmark program: routines, whole frames beside libyuv, libswscale
// and memcpy, and the plug-in's frame pull, then tables and a summary.
#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "bench/registration.h"
#include "bench/results.h"
#include "colorconv/routines.h"

namespace {

using pellix::bench::ResultBook;

// Prints every run as the console reporter does and keeps each
// benchmark's median (or its only run) for the tables.
class RecordingReporter final : public benchmark::ConsoleReporter {
 public:
  RecordingReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool isMedian = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !isMedian) continue;
      auto counter = run.counters.find(pellix::bench::kRateCounter);
      if (counter == run.counters.end()) continue;
      ResultBook::instance().record(run.run_name.str(), counter->second.value, isMedian);
    }
  }
};

bool HasFlag(const std::vector<char*>& args, const char* flag) {
  const size_t n = std::strlen(flag);
  for (char* a : args) {
    if (std::strncmp(a, flag, n) == 0 && (a[n] == '=' || a[n] == '\0')) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // Medians of several repetitions unless the command line says otherwise.
  static char repetitions[] = "--benchmark_repetitions=5";
  static char aggregatesOnly[] = "--benchmark_display_aggregates_only=true";
  static char minTime[] = "--benchmark_min_time=0.1";
  std::vector<char*> args(argv, argv + argc);
  if (!HasFlag(args, "--benchmark_repetitions")) args.push_back(repetitions);
  if (!HasFlag(args, "--benchmark_display_aggregates_only")) args.push_back(aggregatesOnly);
  if (!HasFlag(args, "--benchmark_min_time")) args.push_back(minTime);
  int count = static_cast<int>(args.size());
  args.push_back(nullptr);
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

  pellix::InitColorConversion();
  pellix::bench::RegisterRoutineBenchmarks();
  pellix::bench::RegisterPairBenchmarks();
  pellix::bench::RegisterPluginBenchmarks();

  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::cout << '\n';
  pellix::bench::PrintRoutineTable(std::cout);
  pellix::bench::PrintPairTables(std::cout);
  pellix::bench::PrintPullTable(std::cout);
  pellix::bench::PrintSummary(std::cout);
  return 0;
}
