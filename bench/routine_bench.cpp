// Every slot of the routine table in every variant this processor can run,
// called directly on whole frames.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_frames.h"
#include "bench/registration.h"
#include "colorconv/routines.h"

namespace pellix::bench {
namespace {

enum class Shape { PlanarToPacked, PackedToPacked, ToPlanar };

struct SlotInfo {
  int slot;
  const char* routine;
  Shape shape;
  PixelFormat input;
  PixelFormat output;
};

constexpr SlotInfo kSlots[] = {
    {0, "Planar420ToYUY2", Shape::PlanarToPacked, PixelFormat::I420, PixelFormat::YUY2},
    {1, "Planar420ToUYVY", Shape::PlanarToPacked, PixelFormat::I420, PixelFormat::UYVY},
    {2, "Planar420ToBGRA", Shape::PlanarToPacked, PixelFormat::I420, PixelFormat::BGRA},
    {3, "YUY2ToBGRA", Shape::PackedToPacked, PixelFormat::YUY2, PixelFormat::BGRA},
    {4, "UYVYToBGRA", Shape::PackedToPacked, PixelFormat::UYVY, PixelFormat::BGRA},
    {5, "BGRAToPlanar420", Shape::ToPlanar, PixelFormat::BGRA, PixelFormat::I420},
    {6, "YUY2ToPlanar420", Shape::ToPlanar, PixelFormat::YUY2, PixelFormat::I420},
    {7, "UYVYToPlanar420", Shape::ToPlanar, PixelFormat::UYVY, PixelFormat::I420},
    {8, "BGRAToYUY2", Shape::PackedToPacked, PixelFormat::BGRA, PixelFormat::YUY2},
    {9, "BGRAToUYVY", Shape::PackedToPacked, PixelFormat::BGRA, PixelFormat::UYVY},
};

// Tiers as real processors have them: each includes the ones before it.
struct Tier {
  const char* name;
  uint32_t features;
};
constexpr Tier kTiers[] = {
    {"plain", 0},
    {"MMX", CpuFeature::MMX},
    {"SSE", CpuFeature::MMX | CpuFeature::SSE},
    {"SSE2", CpuFeature::MMX | CpuFeature::SSE | CpuFeature::SSE2},
};

// One slot's routine whatever its call shape; exactly one member is set.
struct AnyRoutine {
  Planar420ToPackedRoutine planarToPacked = nullptr;
  PackedToPackedRoutine packedToPacked = nullptr;
  ToPlanar420Routine toPlanar = nullptr;
  bool operator==(const AnyRoutine& o) const {
    return planarToPacked == o.planarToPacked && packedToPacked == o.packedToPacked && toPlanar == o.toPlanar;
  }
};

AnyRoutine SlotRoutine(const ConversionRoutines& r, int slot) {
  AnyRoutine a;
  switch (slot) {
    case 0: a.planarToPacked = r.planar420ToYUY2; break;
    case 1: a.planarToPacked = r.planar420ToUYVY; break;
    case 2: a.planarToPacked = r.planar420ToBGRA; break;
    case 3: a.packedToPacked = r.yuy2ToBGRA; break;
    case 4: a.packedToPacked = r.uyvyToBGRA; break;
    case 5: a.toPlanar = r.bgraToPlanar420; break;
    case 6: a.toPlanar = r.yuy2ToPlanar420; break;
    case 7: a.toPlanar = r.uyvyToPlanar420; break;
    case 8: a.packedToPacked = r.bgraToYUY2; break;
    default: a.packedToPacked = r.bgraToUYVY; break;
  }
  return a;
}

void RunRoutine(benchmark::State& state, const SlotInfo& info, AnyRoutine routine, FrameSize size) {
  BenchFrame src(info.input, size.width, size.height);
  BenchFrame dst(info.output, size.width, size.height);
  src.fillPattern(1);
  std::memset(dst.data(), 0, dst.bytes());
  const ImageRef s = ImageRefOf(src);
  const ImageRef d = ImageRefOf(dst);
  const int32_t w = size.width;
  const int32_t h = size.height;
  const ColorAdjustment* adjust = &ProcessColorAdjustment();
  for (auto _ : state) {
    switch (info.shape) {
      case Shape::PlanarToPacked:
        routine.planarToPacked(s.plane[0], s.pitch[0], s.plane[1], s.plane[2], s.pitch[1], d.plane[0], w, h, w,
                               adjust, 0);
        break;
      case Shape::PackedToPacked:
        benchmark::DoNotOptimize(routine.packedToPacked(s.plane[0], w, d.plane[0], w, h, w));
        break;
      case Shape::ToPlanar:
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
  uint32_t regs[4];
  QueryCpuFeatures(1, regs);
  const uint32_t features = regs[3];
  const ConversionRoutines& active = ActiveConversionRoutines();
  for (const SlotInfo& info : kSlots) {
    std::vector<AnyRoutine> seen;
    for (const Tier& tier : kTiers) {
      if ((features & tier.features) != tier.features) continue;
      const AnyRoutine routine = SlotRoutine(SelectConversionRoutines(tier.features), info.slot);
      bool known = false;
      for (const AnyRoutine& r : seen) known = known || r == routine;
      if (known) continue;
      seen.push_back(routine);
      std::string name = info.routine;
      if (tier.features != 0) name += std::string("_") + tier.name;
      const bool isActive = routine == SlotRoutine(active, info.slot);
      for (const FrameSize& size : BenchSizes()) {
        const std::string benchmark = "routine/" + name + "/" + size.label();
        ResultBook::instance().add(RoutineEntry{benchmark, info.slot, name, tier.name, isActive, size});
        auto* b = benchmark::RegisterBenchmark(benchmark.c_str(), [info, routine, size](benchmark::State& st) {
          RunRoutine(st, info, routine, size);
        });
        b->Unit(benchmark::kMicrosecond);
      }
    }
  }
}

}  // namespace pellix::bench
