// What every conversion routine is, one row per routine, indexed by its
// identifier: its name, the formats it converts (and so its call shape), the
// tier whose bytes its wider variants reproduce, how its frame walk reads
// and writes a frame, and the member of ConversionRoutines it fills. The
// catalogue (routine_catalogue.h) adds each row's variants; the slot
// accessors, the converters and the tests read these rows instead of
// numbering slots by hand.
#pragma once

#include <cstddef>

#include "colorconv/dispatch/tiers.h"
#include "colorconv/routines.h"
#include "colorconv/simd/frame_walks.h"
#include "formats/pixel_format.h"
#include "formats/planar_layout.h"

namespace pellix {

// The ten members of ConversionRoutines in their order, then the byte swap,
// which no member holds but which is chosen the same way.
enum class RoutineId : uint8_t {
  Planar420ToYUY2,
  Planar420ToUYVY,
  Planar420ToBGRA,
  YUY2ToBGRA,
  UYVYToBGRA,
  BGRAToPlanar420,
  YUY2ToPlanar420,
  UYVYToPlanar420,
  BGRAToYUY2,
  BGRAToUYVY,
  YUY2ToUYVY,
};

constexpr size_t kCatalogueSize = static_cast<size_t>(RoutineId::YUY2ToUYVY) + 1;

constexpr size_t IndexOf(RoutineId id) { return static_cast<size_t>(id); }

// The three call shapes of routines/row kernels, named by what they convert.
enum class RoutineShape { PlanarToPacked, PackedToPacked, ToPlanar };

// I420 stands for any planar 4:2:0 side.
constexpr RoutineShape ShapeOfConversion(PixelFormat source, PixelFormat destination) {
  if (source == PixelFormat::I420) return RoutineShape::PlanarToPacked;
  if (destination == PixelFormat::I420) return RoutineShape::ToPlanar;
  return RoutineShape::PackedToPacked;
}

// The member of ConversionRoutines a routine fills; none for the byte swap.
struct RoutineSlot {
  Planar420ToPackedRoutine ConversionRoutines::*planarToPacked = nullptr;
  PackedToPackedRoutine ConversionRoutines::*packedToPacked = nullptr;
  ToPlanar420Routine ConversionRoutines::*toPlanar = nullptr;

  constexpr RoutineSlot() = default;
  constexpr RoutineSlot(Planar420ToPackedRoutine ConversionRoutines::*m) : planarToPacked(m) {}  // NOLINT: implicit
  constexpr RoutineSlot(PackedToPackedRoutine ConversionRoutines::*m) : packedToPacked(m) {}     // NOLINT
  constexpr RoutineSlot(ToPlanar420Routine ConversionRoutines::*m) : toPlanar(m) {}              // NOLINT
  constexpr bool exists() const {
    return planarToPacked != nullptr || packedToPacked != nullptr || toPlanar != nullptr;
  }
};

// What a routine's frame walk needs besides its row kernel; each field
// serves one call shape.
struct RoutineWalk {
  // Planar to packed: a negative height reads the source bottom-up (only
  // the routine to BGRA does; the converters never pass one).
  bool negativeHeightReadsBottomUp = false;
  // Packed to packed: the pitch whose whole width is converted.
  PitchConverted pitch = PitchConverted::Source;
  // To planar: where chroma row m of the destination begins.
  ChromaRowRule chromaRows = ChromaRowRule::HalvedStride;
};

struct RoutineFacts {
  const char* name;  // the plain routine's name, e.g. "Planar420ToBGRA"
  RoutineId id;
  RoutineShape shape;
  PixelFormat source;       // I420 stands for any planar 4:2:0 source
  PixelFormat destination;  // I420 stands for any planar 4:2:0 destination
  // The tier whose output every wider variant reproduces byte for byte: the
  // variant an SSE2 processor runs.
  Tier referenceTier;
  RoutineWalk walk;
  RoutineSlot member;  // the member of ConversionRoutines it fills
};

namespace routine_rows {

// A row: the shape follows from the formats; a 4:2:2 source converts its
// whole pitch, BGRA to 4:2:2 fills the whole destination pitch, and the
// chroma rows of a planar destination follow its source's rule.
constexpr RoutineFacts Row(const char* name, RoutineId id, PixelFormat from, PixelFormat to, Tier reference,
                           RoutineSlot member, bool bottomUp = false) {
  RoutineWalk walk;
  walk.negativeHeightReadsBottomUp = bottomUp;
  walk.pitch = from == PixelFormat::BGRA ? PitchConverted::Destination : PitchConverted::Source;
  walk.chromaRows = DestinationChromaRowRule(from);
  return {name, id, ShapeOfConversion(from, to), from, to, reference, walk, member};
}

constexpr auto kI420 = PixelFormat::I420;
constexpr auto kYUY2 = PixelFormat::YUY2;
constexpr auto kUYVY = PixelFormat::UYVY;
constexpr auto kBGRA = PixelFormat::BGRA;
using R = ConversionRoutines;
using Id = RoutineId;

inline constexpr RoutineFacts kRoutineTable[kCatalogueSize] = {
    Row("Planar420ToYUY2", Id::Planar420ToYUY2, kI420, kYUY2, Tier::SSE2, &R::planar420ToYUY2),
    Row("Planar420ToUYVY", Id::Planar420ToUYVY, kI420, kUYVY, Tier::Plain, &R::planar420ToUYVY),
    Row("Planar420ToBGRA", Id::Planar420ToBGRA, kI420, kBGRA, Tier::MMX, &R::planar420ToBGRA, true),
    Row("YUY2ToBGRA", Id::YUY2ToBGRA, kYUY2, kBGRA, Tier::Plain, &R::yuy2ToBGRA),
    Row("UYVYToBGRA", Id::UYVYToBGRA, kUYVY, kBGRA, Tier::Plain, &R::uyvyToBGRA),
    Row("BGRAToPlanar420", Id::BGRAToPlanar420, kBGRA, kI420, Tier::SSE, &R::bgraToPlanar420),
    Row("YUY2ToPlanar420", Id::YUY2ToPlanar420, kYUY2, kI420, Tier::SSE, &R::yuy2ToPlanar420),
    Row("UYVYToPlanar420", Id::UYVYToPlanar420, kUYVY, kI420, Tier::Plain, &R::uyvyToPlanar420),
    Row("BGRAToYUY2", Id::BGRAToYUY2, kBGRA, kYUY2, Tier::Plain, &R::bgraToYUY2),
    Row("BGRAToUYVY", Id::BGRAToUYVY, kBGRA, kUYVY, Tier::Plain, &R::bgraToUYVY),
    Row("YUY2ToUYVY", Id::YUY2ToUYVY, kYUY2, kUYVY, Tier::Plain, RoutineSlot{}),
};

}  // namespace routine_rows

using routine_rows::kRoutineTable;

constexpr const RoutineFacts& FactsOf(RoutineId id) { return kRoutineTable[IndexOf(id)]; }

// Each row sits at its identifier, and the byte swap alone has no slot.
constexpr bool RowsSitAtTheirIdentifiers() {
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    if (IndexOf(kRoutineTable[i].id) != i) return false;
    if (kRoutineTable[i].member.exists() != (kRoutineTable[i].id != RoutineId::YUY2ToUYVY)) return false;
  }
  return true;
}
static_assert(RowsSitAtTheirIdentifiers(), "a routine row out of place");

}  // namespace pellix
