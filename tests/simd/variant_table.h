// Every SIMD variant with the slot it serves, the tier it belongs to, the
// processor features it needs and which model describes its arithmetic.
// A new tier is one more line here.
#pragma once

#include <cstdint>

#include "colorconv/routines.h"
#include "colorconv/simd/bgra_to_planar420_model.h"

namespace pellix::test {

struct Variant {
  int slot;
  const char* tier;
  uint32_t required;                // CPUID leaf 1 EDX bits
  Planar420ToPackedRoutine packed;  // slots 0 and 2
  ToPlanar420Routine planar;        // slots 5 and 6
  bool passThroughWhenIdentity;     // slot 0: skips the adjustment for the identity record
  SecondRowAverage average;         // slots 5 and 6
};

extern const Variant kVariants[];
extern const int kVariantCount;

uint32_t ProcessorFeatures();
bool ProcessorHas(const Variant& v);

}  // namespace pellix::test
