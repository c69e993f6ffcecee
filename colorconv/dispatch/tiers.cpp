#include "colorconv/dispatch/tiers.h"

#include <cctype>

namespace pellix {
namespace {

struct TierNames {
  Tier tier;
  const char* name;
  const char* capName;
};

constexpr TierNames kNames[] = {
    {Tier::Plain, "plain", "plain"}, {Tier::MMX, "MMX", "mmx"},    {Tier::SSE, "SSE", "sse"},
    {Tier::SSE2, "SSE2", "sse2"},    {Tier::AVX2, "AVX2", "avx2"}, {Tier::AVX512, "AVX512", "avx512"},
};

const TierNames& NamesOf(Tier tier) {
  for (const TierNames& n : kNames)
    if (n.tier == tier) return n;
  return kNames[0];
}

TierVerdict EdxBit(const CpuFeatures& f, uint32_t bit, int index, const char* name) {
  const std::string where = std::string("CPUID leaf 1 EDX bit ") + std::to_string(index) + " (" + name + ")";
  if (f.leaf1Edx & bit) return {true, where + " set"};
  return {false, where + " clear"};
}

TierVerdict JudgeAvx2(const CpuFeatures& f) {
  if (!(f.leaf1Ecx & CpuBit::AVX) || !(f.leaf7Ebx & CpuBit::AVX2)) return {false, "AVX2 not reported by CPUID"};
  if (!(f.leaf1Ecx & CpuBit::OSXSAVE)) return {false, "AVX2 reported, but OSXSAVE is clear: no saved YMM state"};
  if ((f.osSavedState & OsState::AVX) != OsState::AVX)
    return {false, "AVX2 reported, but the operating system does not save the YMM state"};
  return {true, "AVX2 reported and the YMM state saved by the operating system"};
}

TierVerdict JudgeAvx512(const CpuFeatures& f) {
  constexpr uint32_t kNeeded = CpuBit::AVX512F | CpuBit::AVX512BW | CpuBit::AVX512VL;
  if ((f.leaf7Ebx & kNeeded) != kNeeded) return {false, "AVX-512 F, BW and VL not all reported by CPUID"};
  const TierVerdict avx2 = JudgeAvx2(f);
  if (!avx2.usable) return {false, "AVX-512 reported, but " + avx2.why};
  if ((f.osSavedState & OsState::AVX512) != OsState::AVX512)
    return {false, "AVX-512 reported, but the operating system does not save the opmask and ZMM state"};
  return {true, "AVX-512 F, BW and VL reported and the ZMM state saved by the operating system"};
}

}  // namespace

const char* TierName(Tier tier) { return NamesOf(tier).name; }
const char* TierCapName(Tier tier) { return NamesOf(tier).capName; }

TierVerdict JudgeTier(Tier tier, const CpuFeatures& f) {
  switch (tier) {
    case Tier::Plain:
      return {true, "plain integer code runs everywhere"};
    case Tier::MMX:
      return EdxBit(f, CpuBit::MMX, 23, "MMX");
    case Tier::SSE:
      return EdxBit(f, CpuBit::SSE, 25, "SSE");
    case Tier::SSE2:
      return EdxBit(f, CpuBit::SSE2, 26, "SSE2");
    case Tier::AVX2:
      return JudgeAvx2(f);
    case Tier::AVX512:
      return JudgeAvx512(f);
  }
  return {false, "unknown tier"};
}

TierCap ParseTierCap(const char* value) {
  TierCap cap;
  if (value == nullptr || *value == '\0') return cap;
  cap.text = value;
  std::string lower;
  for (const char* p = value; *p; ++p) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  for (const TierNames& n : kNames) {
    if (lower == n.capName) {
      cap.highest = n.tier;
      return cap;
    }
  }
  cap.understood = false;
  return cap;
}

}  // namespace pellix
