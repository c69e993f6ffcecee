// The benchmark program: routines, whole frames beside libyuv, libswscale
// and memcpy, and the plug-in's frame pull, then tables and a summary.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "bench/paired_rounds.h"
#include "bench/registration.h"
#include "bench/results.h"
#include "bench/tier_cap.h"
#include "colorconv/dispatch/tiers.h"
#include "colorconv/routines.h"

namespace {

using pellix::bench::ResultBook;

// One line per benchmark: median time per frame, median megapixels per
// second and the spread over the repetitions; the medians (or the only run)
// are kept for the tables.
class RecordingReporter final : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context& context) override {
    PrintBasicContext(&GetOutputStream(), context);
    std::printf("%-58s %12s %12s %8s\n", "benchmark", "CPU/frame", "MP/s", "cv");
    return true;
  }

  void ReportRuns(const std::vector<Run>& runs) override {
    const Run* median = nullptr;
    const Run* cv = nullptr;
    for (const Run& run : runs) {
      if (run.error_occurred) {
        std::printf("%-58s error: %s\n", run.run_name.str().c_str(), run.error_message.c_str());
        return;
      }
      if (run.run_type == Run::RT_Iteration && median == nullptr) median = &run;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") median = &run;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "cv") cv = &run;
    }
    if (median == nullptr) return;
    const double rate = Rate(*median);
    ResultBook::instance().record(median->run_name.str(), rate, median->run_type == Run::RT_Aggregate);
    const std::string spread = cv != nullptr ? Percent(Rate(*cv)) : "-";
    std::printf("%-58s %9.1f %s %12.1f %8s\n", median->run_name.str().c_str(), median->GetAdjustedCPUTime(),
                benchmark::GetTimeUnitString(median->time_unit), rate, spread.c_str());
    std::fflush(stdout);
  }

 private:
  static double Rate(const Run& run) {
    auto counter = run.counters.find(pellix::bench::kRateCounter);
    return counter == run.counters.end() ? 0.0 : counter->second.value;
  }
  static std::string Percent(double fraction) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%", fraction * 100.0);
    return text;
  }
};

bool HasFlag(const std::vector<char*>& args, const char* flag) {
  const size_t n = std::strlen(flag);
  for (char* a : args) {
    if (std::strncmp(a, flag, n) == 0 && (a[n] == '=' || a[n] == '\0')) return true;
  }
  return false;
}

// Removes "--NAME=VALUE" or "--NAME" from the arguments; the value, "" for
// the bare flag, or nothing when absent.
std::optional<std::string> TakeFlag(std::vector<char*>& args, const char* flag) {
  const size_t n = std::strlen(flag);
  for (auto it = args.begin(); it != args.end(); ++it) {
    const char* a = *it;
    if (std::strncmp(a, flag, n) != 0 || (a[n] != '=' && a[n] != '\0')) continue;
    std::string value = a[n] == '=' ? a + n + 1 : "";
    args.erase(it);
    return value;
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  // Medians of several repetitions unless the command line says otherwise.
  // Interleaving the repetitions of all benchmarks in random order spreads a
  // change in machine load over every contender instead of one.
  static char repetitions[] = "--benchmark_repetitions=5";
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  static char aggregatesOnly[] = "--benchmark_display_aggregates_only=true";
  static char minTime[] = "--benchmark_min_time=0.1";
  std::vector<char*> args(argv, argv + argc);
  // --tier=NAME (or PELLIX_CPU alone) caps our routines and libyuv alike.
  std::optional<std::string> tier = TakeFlag(args, "--tier");
  const char* capVariable = std::getenv(pellix::kTierCapVariable);
  if (!tier && capVariable != nullptr && *capVariable != '\0') tier = capVariable;
  if (tier) {
    const pellix::bench::TierCapResult cap = pellix::bench::ApplyBenchTierCap(*tier);
    std::cout << (cap.ok ? "" : "error: ") << cap.description << '\n';
    if (!cap.ok) return 1;
  }
  // --paired[=ROUNDS] measures whole frames in paired rounds instead.
  if (std::optional<std::string> paired = TakeFlag(args, "--paired")) {
    pellix::InitColorConversion();
    pellix::bench::RunPairedRounds(std::cout, paired->empty() ? 15 : std::atoi(paired->c_str()));
    return 0;
  }
  if (!HasFlag(args, "--benchmark_repetitions")) args.push_back(repetitions);
  if (!HasFlag(args, "--benchmark_display_aggregates_only")) args.push_back(aggregatesOnly);
  if (!HasFlag(args, "--benchmark_min_time")) args.push_back(minTime);
  if (!HasFlag(args, "--benchmark_enable_random_interleaving")) args.push_back(interleave);
  int count = static_cast<int>(args.size());
  args.push_back(nullptr);
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

  pellix::InitColorConversion();
  pellix::bench::RegisterRoutineBenchmarks();
  pellix::bench::RegisterPairBenchmarks();
  pellix::bench::RegisterPluginBenchmarks();
  pellix::bench::RegisterBandBenchmarks();

  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::cout << '\n';
  pellix::bench::PrintRoutineTable(std::cout);
  pellix::bench::PrintPairTables(std::cout);
  pellix::bench::PrintPullTable(std::cout);
  pellix::bench::PrintBandTable(std::cout);
  pellix::bench::PrintSummary(std::cout);
  return 0;
}
