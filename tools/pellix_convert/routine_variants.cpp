#include "tools/pellix_convert/routine_variants.h"

#include <cpuid.h>

namespace pellix::convert {
std::array<SlotVariant, kRoutineSlots> RoutineVariantsFor(uint32_t featureWord) {
  std::array<SlotVariant, kRoutineSlots> slots = {{
      {"Planar420ToYUY2", "plain"},
      {"Planar420ToUYVY", "plain"},
      {"Planar420ToBGRA", "plain"},
      {"YUY2ToBGRA", "plain"},
      {"UYVYToBGRA", "plain"},
      {"BGRAToPlanar420", "plain"},
      {"YUY2ToPlanar420", "plain"},
      {"UYVYToPlanar420", "plain"},
      {"BGRAToYUY2", "plain"},
      {"BGRAToUYVY", "plain"},
  }};
  if (featureWord & kMmxBit) {
    for (int slot : {0, 2, 5, 6}) slots[slot].variant = "MMX";
  }
  if (featureWord & kSseBit) {
    for (int slot : {0, 5, 6}) slots[slot].variant = "SSE";
  }
  if (featureWord & kSse2Bit) slots[0].variant = "SSE2";
  return slots;
}

uint32_t ProcessorFeatureWord() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return 0;
  return edx;
}

}  // namespace pellix::convert
