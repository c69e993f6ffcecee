// The SIMD variants as the tests see them: every variant of every routine of
// the catalogue, with the processor check and the facts of its arithmetic
// that select a scalar model. Derived from the catalogue, so a new tier or
// kernel is checked without touching the tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "colorconv/dispatch/routine_catalogue.h"
#include "tests/simd/models/bgra_to_planar420_model.h"

namespace pellix::test {

struct Variant {
  const RoutineDescription* routine;
  Tier tier;
  AnyRoutine call;

  RoutineId id() const { return routine->id; }
  std::string name() const { return VariantName(*routine, tier); }
  Planar420ToPackedRoutine packed() const { return call.planarToPacked; }
  ToPlanar420Routine planar() const { return call.toPlanar; }
  PackedToPackedRoutine packedToPacked() const { return call.packedToPacked; }
  // The variant whose bytes this one must give: itself for the MMX, SSE and
  // SSE2 tiers (checked against scalar models), the routine's reference
  // variant for the wider tiers.
  AnyRoutine reference() const;
  bool isWide() const { return IsWide(tier); }
  // Planar420ToYUY2 from the SSE2 tier on copies samples unchanged for the
  // identity record; BGRAToPlanar420 and YUY2ToPlanar420 average a block's
  // two rows truncating in the MMX tier and rounding from the SSE tier on.
  bool passThroughWhenIdentity() const { return tier >= Tier::SSE2; }
  SecondRowAverage average() const {
    return tier == Tier::MMX ? SecondRowAverage::Truncating : SecondRowAverage::Rounding;
  }
};

// Test names and failure messages show the variant's name.
inline void PrintTo(const Variant& v, std::ostream* out) { *out << v.name(); }

// Every variant but the plain routines, in catalogue order.
std::vector<Variant> SimdVariants();
// The SIMD variants of one routine that this processor runs.
std::vector<Variant> RunnableVariantsOf(RoutineId id);
// The wide variants of the routines named.
std::vector<Variant> WideVariantsOf(std::initializer_list<RoutineId> ids);

// Whether this processor and its operating system run the tier.
bool ProcessorRuns(Tier tier);
uint32_t ProcessorFeatures();  // CPUID leaf 1 EDX

}  // namespace pellix::test
