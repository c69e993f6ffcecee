// Which variant of each conversion routine the plug-in runs on a processor.
// The plug-in does not report its choice, so the tool repeats its rule: the
// plain routines everywhere, then by the CPUID leaf 1 EDX bits, applied in
// this order, MMX (bit 23) for slots 0, 2, 5, 6; SSE (bit 25) for slots 0,
// 5, 6; SSE2 (bit 26) for slot 0.
#pragma once

#include <array>
#include <cstdint>

namespace pellix::convert {

struct SlotVariant {
  const char* routine;  // e.g. "Planar420ToYUY2"
  const char* variant;  // "plain", "MMX", "SSE" or "SSE2"
};

constexpr int kRoutineSlots = 10;

// CPUID leaf 1 EDX bits that choose variants.
constexpr uint32_t kMmxBit = 1u << 23;
constexpr uint32_t kSseBit = 1u << 25;
constexpr uint32_t kSse2Bit = 1u << 26;

std::array<SlotVariant, kRoutineSlots> RoutineVariantsFor(uint32_t featureWord);

// EDX of CPUID leaf 1 on this processor.
uint32_t ProcessorFeatureWord();

}  // namespace pellix::convert
