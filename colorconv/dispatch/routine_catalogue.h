// The one description of every conversion routine: each slot of the routine
// table (and the YUY2/UYVY byte swap, which is no slot but is chosen the same
// way) with its name, its call shape, what it converts and every variant
// with its tier. The routine choice, the checker, the benchmarks and
// pellix-convert --info all read this table; adding a tier is a set of row
// kernels and one line per routine here.
#pragma once

#include <cstddef>
#include <string>

#include "colorconv/dispatch/tiers.h"
#include "colorconv/routines.h"
#include "formats/pixel_format.h"

namespace pellix {

enum class RoutineShape { PlanarToPacked, PackedToPacked, ToPlanar };

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

struct RoutineDescription {
  const char* name;  // the plain routine's name, e.g. "Planar420ToBGRA"
  int slot;          // index in ConversionRoutines, or kNoSlot
  RoutineShape shape;
  PixelFormat source;       // I420 stands for any planar 4:2:0 source
  PixelFormat destination;  // I420 stands for any planar 4:2:0 destination
  // The tier whose output every wider variant reproduces byte for byte: the
  // variant an SSE2 processor runs.
  Tier referenceTier;
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

// The ten slots in slot order, then the byte swap.
constexpr size_t kCatalogueSize = 11;
extern const RoutineDescription kRoutineCatalogue[kCatalogueSize];

// The entry of the byte swap (YUY2 <-> UYVY).
const RoutineDescription& ByteSwapDescription();

// The routine a slot of the table holds, and the other way round.
AnyRoutine SlotRoutine(const ConversionRoutines& routines, int slot);
void SetSlotRoutine(ConversionRoutines& routines, int slot, AnyRoutine routine);

}  // namespace pellix
