// Every routine of the catalogue in every variant this processor can run,
// called directly on whole frames.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_frames.h"
#include "bench/registration.h"
#include "colorconv/dispatch/routine_choice.h"
#include "colorconv/routines.h"

namespace pellix::bench {
namespace {

void RunRoutine(benchmark::State& state, const RoutineDescription& info, AnyRoutine routine, FrameSize size) {
  BenchFrame src(info.source, size.width, size.height);
  BenchFrame dst(info.destination, size.width, size.height);
  src.fillPattern(1);
  std::memset(dst.data(), 0, dst.bytes());
  const ImageRef s = ImageRefOf(src);
  const ImageRef d = ImageRefOf(dst);
  const int32_t w = size.width;
  const int32_t h = size.height;
  const ColorAdjustment* adjust = &ProcessColorAdjustment();
  for (auto _ : state) {
    switch (info.shape) {
      case RoutineShape::PlanarToPacked:
        routine.planarToPacked(s.plane[0], s.pitch[0], s.plane[1], s.plane[2], s.pitch[1], d.plane[0], w, h, w, adjust,
                               0);
        break;
      case RoutineShape::PackedToPacked:
        benchmark::DoNotOptimize(routine.packedToPacked(s.plane[0], w, d.plane[0], w, h, w));
        break;
      case RoutineShape::ToPlanar:
        benchmark::DoNotOptimize(
            routine.toPlanar(w, h, s.plane[0], s.pitch[0], d.plane[0], d.plane[1], d.plane[2], d.pitch[0], 0, 0));
        break;
    }
    benchmark::ClobberMemory();
  }
  SetPixelRate(state, size);
}

}  // namespace

void RegisterRoutineBenchmarks() {
  InitColorConversion();
  const CpuFeatures features = ReadCpuFeatures();
  const RoutineChoice active = ChooseRoutines(features, ParseTierCap(std::getenv(kTierCapVariable)));
  for (size_t index = 0; index < kCatalogueSize; ++index) {
    const RoutineDescription& info = kRoutineCatalogue[index];
    for (const RoutineVariant& variant : info) {
      if (!JudgeTier(variant.tier, features).usable) continue;
      const std::string name = VariantName(info, variant.tier);
      const bool isActive = variant.tier == active.reasons[index].tier;
      const AnyRoutine routine = variant.routine;
      for (const FrameSize& size : RoutineSizes()) {
        const std::string benchmark = "routine/" + name + "/" + size.label();
        ResultBook::instance().add(RoutineEntry{benchmark, info.slot, name, TierName(variant.tier), isActive, size});
        auto* b = benchmark::RegisterBenchmark(
            benchmark.c_str(), [&info, routine, size](benchmark::State& st) { RunRoutine(st, info, routine, size); });
        b->Unit(benchmark::kMicrosecond);
      }
    }
  }
}

}  // namespace pellix::bench
