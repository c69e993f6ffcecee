#include "tests/simd/variant_table.h"

#include "colorconv/simd/simd_routines.h"

namespace pellix::test {
namespace {

constexpr uint32_t kMmx = CpuFeature::MMX;
constexpr uint32_t kSse = CpuFeature::MMX | CpuFeature::SSE;  // SSE kernels also use MMX registers
constexpr uint32_t kSse2 = CpuFeature::SSE2;
constexpr auto kTrunc = SecondRowAverage::Truncating;
constexpr auto kRound = SecondRowAverage::Rounding;

}  // namespace

const Variant kVariants[] = {
    {0, "MMX", kMmx, Planar420ToYUY2_MMX, nullptr, false, kTrunc},
    {0, "SSE", kSse, Planar420ToYUY2_SSE, nullptr, false, kTrunc},
    {0, "SSE2", kSse2, Planar420ToYUY2_SSE2, nullptr, true, kTrunc},
    {2, "MMX", kMmx, Planar420ToBGRA_MMX, nullptr, false, kTrunc},
    {5, "MMX", kMmx, nullptr, BGRAToPlanar420_MMX, false, kTrunc},
    {5, "SSE", kSse, nullptr, BGRAToPlanar420_SSE, false, kRound},
    {6, "MMX", kMmx, nullptr, YUY2ToPlanar420_MMX, false, kTrunc},
    {6, "SSE", kSse, nullptr, YUY2ToPlanar420_SSE, false, kRound},
};
const int kVariantCount = sizeof(kVariants) / sizeof(kVariants[0]);

uint32_t ProcessorFeatures() {
  uint32_t regs[4];
  QueryCpuFeatures(1, regs);
  return regs[3];
}

bool ProcessorHas(const Variant& v) { return (ProcessorFeatures() & v.required) == v.required; }

}  // namespace pellix::test
