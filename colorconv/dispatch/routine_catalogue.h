// Every conversion routine with every variant: the rows of the routine table
// (routine_table.h) and, per row, each tier's routine. The routine choice,
// the checker, the benchmarks and pellix-convert --info all read this
// catalogue; adding a tier is a set of row kernels and one line per routine
// it serves here.
#pragma once

#include <cstddef>
#include <string>

#include "colorconv/dispatch/routine_table.h"
#include "colorconv/dispatch/tiers.h"
#include "colorconv/routines.h"
#include "formats/pixel_format.h"

namespace pellix {

// One routine of any call shape; exactly one member is set.
struct AnyRoutine {
  Planar420ToPackedRoutine planarToPacked = nullptr;
  PackedToPackedRoutine packedToPacked = nullptr;
  ToPlanar420Routine toPlanar = nullptr;

  constexpr AnyRoutine() = default;
  constexpr AnyRoutine(Planar420ToPackedRoutine r) : planarToPacked(r) {}  // NOLINT: implicit on purpose
  constexpr AnyRoutine(PackedToPackedRoutine r) : packedToPacked(r) {}     // NOLINT
  constexpr AnyRoutine(ToPlanar420Routine r) : toPlanar(r) {}              // NOLINT
  bool operator==(const AnyRoutine& o) const {
    return planarToPacked == o.planarToPacked && packedToPacked == o.packedToPacked && toPlanar == o.toPlanar;
  }
  bool operator!=(const AnyRoutine& o) const { return !(*this == o); }
};

struct RoutineVariant {
  Tier tier;
  AnyRoutine routine;
};

constexpr int kNoSlot = -1;

// A row of the routine table with every variant built for it.
struct RoutineDescription : RoutineFacts {
  int slot;                        // the member's place in ConversionRoutines (the row's), or kNoSlot
  const RoutineVariant* variants;  // in tier order, the plain routine first
  size_t variantCount;

  const RoutineVariant* begin() const { return variants; }
  const RoutineVariant* end() const { return variants + variantCount; }
  // The variant of that tier, or null.
  const RoutineVariant* variant(Tier tier) const;
  const RoutineVariant& reference() const { return *variant(referenceTier); }
};

// Name of a routine's variant: the plain name for the plain tier, otherwise
// name_TIER (e.g. "Planar420ToBGRA_AVX2").
std::string VariantName(const RoutineDescription& routine, Tier tier);

// The rows of the routine table in its order, with their variants.
extern const RoutineDescription kRoutineCatalogue[kCatalogueSize];

inline const RoutineDescription& CatalogueEntry(RoutineId id) { return kRoutineCatalogue[IndexOf(id)]; }

// The entry of the byte swap (YUY2 <-> UYVY).
const RoutineDescription& ByteSwapDescription();

// The routine the member of a routine's row holds, and the other way round;
// nothing for the byte swap, which has no member.
AnyRoutine SlotRoutine(const ConversionRoutines& routines, RoutineId id);
void SetSlotRoutine(ConversionRoutines& routines, RoutineId id, AnyRoutine routine);

}  // namespace pellix
