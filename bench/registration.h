// Each benchmark family registers itself, in the order the report shows them.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ostream>

#include "bench/results.h"

namespace pellix::bench {

void RegisterRoutineBenchmarks();
void RegisterPairBenchmarks();
void RegisterPluginBenchmarks();
void RegisterBandBenchmarks();
// The band table reads what the band benchmarks recorded.
void PrintBandTable(std::ostream& out);

// Megapixels per second, from the pixels one iteration converts.
inline void SetPixelRate(benchmark::State& state, const FrameSize& size) {
  state.counters[kRateCounter] =
      benchmark::Counter(static_cast<double>(state.iterations()) * size.megapixels(), benchmark::Counter::kIsRate);
}

}  // namespace pellix::bench
