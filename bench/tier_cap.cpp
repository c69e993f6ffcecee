#include "bench/tier_cap.h"

#include <libyuv/cpu_id.h>

#include <cstdlib>

#include "colorconv/dispatch/tiers.h"

namespace pellix::bench {
namespace {

// libyuv's flags for AVX-512 and the extensions it only pairs with it.
constexpr int kLibyuvAvx512 = libyuv::kCpuHasAVX512BW | libyuv::kCpuHasAVX512VL | libyuv::kCpuHasAVX512VNNI |
                              libyuv::kCpuHasAVX512VBMI | libyuv::kCpuHasAVX512VBMI2 |
                              libyuv::kCpuHasAVX512VBITALG | libyuv::kCpuHasAVX512VPOPCNTDQ;
// GFNI is cleared with AVX-512 because the AVX2-only processors this cap
// stands for (AMD before Zen 4) lack it.
constexpr int kLibyuvAboveAvx2 = kLibyuvAvx512 | libyuv::kCpuHasGFNI;
// Everything 256 bits wide; libyuv keeps its SSSE3 and SSE4.1 rows, which
// makes the comparison harder for our SSE2 tier, not easier.
constexpr int kLibyuvAboveSse2 = kLibyuvAboveAvx2 | libyuv::kCpuHasAVX | libyuv::kCpuHasAVX2 |
                                 libyuv::kCpuHasFMA3 | libyuv::kCpuHasF16C;

// The widest rows libyuv now picks, as it reports its flags.
std::string LibyuvWidest() {
  if (libyuv::TestCpuFlag(libyuv::kCpuHasAVX512BW)) return "AVX-512 rows";
  if (libyuv::TestCpuFlag(libyuv::kCpuHasAVX2)) return "AVX2 rows";
  if (libyuv::TestCpuFlag(libyuv::kCpuHasSSSE3)) return "SSSE3/SSE4.1 rows";
  if (libyuv::TestCpuFlag(libyuv::kCpuHasSSE2)) return "SSE2 rows";
  return "its plain rows";
}

}  // namespace

TierCapResult ApplyBenchTierCap(const std::string& name) {
  const TierCap cap = ParseTierCap(name.c_str());
  if (!cap.understood || name.empty()) return {false, "unknown tier '" + name + "'"};
  int cleared = 0;
  if (cap.highest < Tier::AVX512) cleared |= kLibyuvAboveAvx2;
  if (cap.highest < Tier::AVX2) cleared |= kLibyuvAboveSse2;
  if (cap.highest < Tier::SSE2) cleared = ~0;  // libyuv's plain C rows
  setenv(kTierCapVariable, name.c_str(), 1);
  libyuv::MaskCpuFlags(~cleared);
  return {true, std::string("tier cap ") + TierName(cap.highest) + " for ours (" + kTierCapVariable + "=" + name +
                    "); libyuv up to " + LibyuvWidest()};
}

}  // namespace pellix::bench
