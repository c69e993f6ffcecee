// Instruction-set tiers of the conversion routines, whether a processor (and
// its operating system) can run each, and the user's cap on the tier.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "colorconv/dispatch/cpu_features.h"

namespace pellix {

// In order of width: a later tier is only chosen over an earlier one.
enum class Tier : uint8_t { Plain, MMX, SSE, SSE2, AVX2, AVX512 };

constexpr Tier kAllTiers[] = {Tier::Plain, Tier::MMX, Tier::SSE, Tier::SSE2, Tier::AVX2, Tier::AVX512};

// The tiers past SSE2: each reproduces a narrower variant's bytes rather
// than having arithmetic of its own.
constexpr bool IsWide(Tier tier) { return tier > Tier::SSE2; }

// "plain", "MMX", "SSE", "SSE2", "AVX2", "AVX512": the suffix of a variant's name.
const char* TierName(Tier tier);

// The spelling of the tier in PELLIX_CPU: "plain", "mmx", "sse", "sse2",
// "avx2", "avx512".
const char* TierCapName(Tier tier);

// Whether the tier's instructions run here, with the reason in words.
struct TierVerdict {
  bool usable = false;
  std::string why;
};

// Plain always runs. MMX, SSE and SSE2 run when their CPUID leaf 1 EDX bit
// is set. AVX2 needs OSXSAVE, AVX and AVX2 reported and the YMM state saved
// by the operating system; AVX512 needs AVX2 usable, AVX-512 F, BW and VL
// reported and the opmask and ZMM state saved as well.
TierVerdict JudgeTier(Tier tier, const CpuFeatures& features);

// The environment variable that caps the tier, read once at set-up.
constexpr const char* kTierCapVariable = "PELLIX_CPU";

// The cap a value of PELLIX_CPU sets. No value (null or empty) means no cap;
// a value that names no tier is not understood and caps nothing.
struct TierCap {
  Tier highest = Tier::AVX512;
  std::string text;  // the value as given; empty when unset
  bool understood = true;
};
TierCap ParseTierCap(const char* value);

}  // namespace pellix
