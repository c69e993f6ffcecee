#include "colorconv/dispatch/routine_catalogue.h"

#include "colorconv/plain/plain_routines.h"
#include "colorconv/simd/frame_walks.h"
#include "colorconv/simd/row_kernels.h"
#include "colorconv/simd/simd_routines.h"

namespace pellix {
namespace {

// A routine made of a row kernel and its group size, driven by the frame
// walk of its call shape with what the routine's row says about the walk.
template <RoutineId kId, Planar420ToPackedRow kRow, int32_t kGroup>
void PlanarToPackedVariant(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                           int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height, int32_t dstStride,
                           const ColorAdjustment* adjust, int32_t interlaced) {
  static constexpr PlanarToPackedWalk kWalk{
      {kRow, kGroup}, FactsOf(kId).destination, FactsOf(kId).walk.negativeHeightReadsBottomUp};
  WalkPlanar420ToPacked(kWalk, srcY, srcYStride, srcU, srcV, srcChromaStride, dst, width, height, dstStride, adjust,
                        interlaced);
}

template <RoutineId kId, PackedToPackedRow kRow, int32_t kGroup>
int32_t PackedToPackedVariant(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t height,
                              int32_t /*width: the whole pitch is converted*/) {
  static constexpr PackedToPackedWalk kWalk{
      {kRow, kGroup}, FactsOf(kId).source, FactsOf(kId).destination, FactsOf(kId).walk.pitch};
  WalkPackedToPacked(kWalk, src, srcStride, dst, dstStride, height);
  return 0;
}

// The last two arguments of the call shape (flip, interlaced) ask for
// nothing the walks do: the converters always pass 0.
template <RoutineId kId, ToPlanar420PairRow kPair, ToPlanar420LumaRow kLuma, int32_t kGroup>
int32_t ToPlanarVariant(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY,
                        uint8_t* dstU, uint8_t* dstV, int32_t dstYStride, int32_t /*flip*/, int32_t /*interlaced*/) {
  static constexpr ToPlanarWalk kWalk{{kPair, kLuma, kGroup}, FactsOf(kId).source, FactsOf(kId).walk.chromaRows};
  WalkToPlanar420(kWalk, width, height, src, srcPitch, dstY, dstU, dstV, dstYStride);
  return 0;
}

using Id = RoutineId;

template <Planar420ToPackedRow kRow, int32_t kGroup>
constexpr Planar420ToPackedRoutine ToYUY2 = PlanarToPackedVariant<Id::Planar420ToYUY2, kRow, kGroup>;
template <Planar420ToPackedRow kRow, int32_t kGroup>
constexpr Planar420ToPackedRoutine ToUYVY = PlanarToPackedVariant<Id::Planar420ToUYVY, kRow, kGroup>;
template <Planar420ToPackedRow kRow, int32_t kGroup>
constexpr Planar420ToPackedRoutine ToBGRA = PlanarToPackedVariant<Id::Planar420ToBGRA, kRow, kGroup>;
template <ToPlanar420PairRow kPair, ToPlanar420LumaRow kLuma, int32_t kGroup>
constexpr ToPlanar420Routine FromBGRA = ToPlanarVariant<Id::BGRAToPlanar420, kPair, kLuma, kGroup>;
template <ToPlanar420PairRow kPair, ToPlanar420LumaRow kLuma, int32_t kGroup>
constexpr ToPlanar420Routine FromYUY2 = ToPlanarVariant<Id::YUY2ToPlanar420, kPair, kLuma, kGroup>;
template <ToPlanar420PairRow kPair, ToPlanar420LumaRow kLuma, int32_t kGroup>
constexpr ToPlanar420Routine FromUYVY = ToPlanarVariant<Id::UYVYToPlanar420, kPair, kLuma, kGroup>;
template <PackedToPackedRow kRow, int32_t kGroup>
constexpr PackedToPackedRoutine YUY2ToBGRAWalk = PackedToPackedVariant<Id::YUY2ToBGRA, kRow, kGroup>;
template <PackedToPackedRow kRow, int32_t kGroup>
constexpr PackedToPackedRoutine UYVYToBGRAWalk = PackedToPackedVariant<Id::UYVYToBGRA, kRow, kGroup>;
template <PackedToPackedRow kRow, int32_t kGroup>
constexpr PackedToPackedRoutine BGRAToYUY2Walk = PackedToPackedVariant<Id::BGRAToYUY2, kRow, kGroup>;
template <PackedToPackedRow kRow, int32_t kGroup>
constexpr PackedToPackedRoutine BGRAToUYVYWalk = PackedToPackedVariant<Id::BGRAToUYVY, kRow, kGroup>;
template <PackedToPackedRow kRow, int32_t kGroup>
constexpr PackedToPackedRoutine SwapWalk = PackedToPackedVariant<Id::YUY2ToUYVY, kRow, kGroup>;

}  // namespace

constexpr Planar420ToPackedRoutine Planar420ToYUY2_MMX = ToYUY2<Planar420ToYUY2Row_MMX, 16>;
constexpr Planar420ToPackedRoutine Planar420ToYUY2_SSE = ToYUY2<Planar420ToYUY2Row_SSE, 16>;
constexpr Planar420ToPackedRoutine Planar420ToYUY2_SSE2 = ToYUY2<Planar420ToYUY2Row_SSE2, 16>;
constexpr Planar420ToPackedRoutine Planar420ToBGRA_MMX = ToBGRA<Planar420ToBGRARow_MMX, 8>;
constexpr ToPlanar420Routine BGRAToPlanar420_MMX = FromBGRA<BGRAToPlanar420PairRow_MMX, BGRAToPlanar420LumaRow_MMX, 8>;
constexpr ToPlanar420Routine BGRAToPlanar420_SSE = FromBGRA<BGRAToPlanar420PairRow_SSE, BGRAToPlanar420LumaRow_MMX, 8>;
constexpr ToPlanar420Routine YUY2ToPlanar420_MMX = FromYUY2<YUY2ToPlanar420PairRow_MMX, YUY2ToPlanar420LumaRow_MMX, 16>;
constexpr ToPlanar420Routine YUY2ToPlanar420_SSE = FromYUY2<YUY2ToPlanar420PairRow_SSE, YUY2ToPlanar420LumaRow_MMX, 16>;

namespace {

constexpr RoutineVariant kPlanar420ToYUY2[] = {
    {Tier::Plain, Planar420ToYUY2},
    {Tier::MMX, Planar420ToYUY2_MMX},
    {Tier::SSE, Planar420ToYUY2_SSE},
    {Tier::SSE2, Planar420ToYUY2_SSE2},
    {Tier::AVX2, ToYUY2<Planar420ToYUY2Row_AVX2, 16>},
    {Tier::AVX512, ToYUY2<Planar420ToYUY2Row_AVX512, 16>},
};
constexpr RoutineVariant kPlanar420ToUYVY[] = {
    {Tier::Plain, Planar420ToUYVY},
    {Tier::AVX2, ToUYVY<Planar420ToUYVYRow_AVX2, 16>},
    {Tier::AVX512, ToUYVY<Planar420ToUYVYRow_AVX512, 16>},
};
constexpr RoutineVariant kPlanar420ToBGRA[] = {
    {Tier::Plain, Planar420ToBGRA},
    {Tier::MMX, Planar420ToBGRA_MMX},
    {Tier::AVX2, ToBGRA<Planar420ToBGRARow_AVX2, 32>},
    {Tier::AVX512, ToBGRA<Planar420ToBGRARow_AVX512, 32>},
};
constexpr RoutineVariant kYUY2ToBGRA[] = {
    {Tier::Plain, YUY2ToBGRA},
    {Tier::AVX2, YUY2ToBGRAWalk<YUY2ToBGRARow_AVX2, 32>},
    {Tier::AVX512, YUY2ToBGRAWalk<YUY2ToBGRARow_AVX512, 32>},
};
constexpr RoutineVariant kUYVYToBGRA[] = {
    {Tier::Plain, UYVYToBGRA},
    {Tier::AVX2, UYVYToBGRAWalk<UYVYToBGRARow_AVX2, 32>},
    {Tier::AVX512, UYVYToBGRAWalk<UYVYToBGRARow_AVX512, 32>},
};
constexpr RoutineVariant kBGRAToPlanar420[] = {
    {Tier::Plain, BGRAToPlanar420},
    {Tier::MMX, BGRAToPlanar420_MMX},
    {Tier::SSE, BGRAToPlanar420_SSE},
    {Tier::AVX2, FromBGRA<BGRAToPlanar420PairRow_AVX2, BGRAToPlanar420LumaRow_AVX2, 32>},
    {Tier::AVX512, FromBGRA<BGRAToPlanar420PairRow_AVX512, BGRAToPlanar420LumaRow_AVX512, 32>},
};
constexpr RoutineVariant kYUY2ToPlanar420[] = {
    {Tier::Plain, YUY2ToPlanar420},
    {Tier::MMX, YUY2ToPlanar420_MMX},
    {Tier::SSE, YUY2ToPlanar420_SSE},
    {Tier::AVX2, FromYUY2<YUY2ToPlanar420PairRow_AVX2, YUY2ToPlanar420LumaRow_AVX2, 16>},
    {Tier::AVX512, FromYUY2<YUY2ToPlanar420PairRow_AVX512, YUY2ToPlanar420LumaRow_AVX512, 16>},
};
constexpr RoutineVariant kUYVYToPlanar420[] = {
    {Tier::Plain, UYVYToPlanar420},
    {Tier::AVX2, FromUYVY<UYVYToPlanar420PairRow_AVX2, UYVYToPlanar420LumaRow_AVX2, 16>},
    {Tier::AVX512, FromUYVY<UYVYToPlanar420PairRow_AVX512, UYVYToPlanar420LumaRow_AVX512, 16>},
};
constexpr RoutineVariant kBGRAToYUY2[] = {
    {Tier::Plain, BGRAToYUY2},
    {Tier::AVX2, BGRAToYUY2Walk<BGRAToYUY2Row_AVX2, 16>},
    {Tier::AVX512, BGRAToYUY2Walk<BGRAToYUY2Row_AVX512, 16>},
};
constexpr RoutineVariant kBGRAToUYVY[] = {
    {Tier::Plain, BGRAToUYVY},
    {Tier::AVX2, BGRAToUYVYWalk<BGRAToUYVYRow_AVX2, 16>},
    {Tier::AVX512, BGRAToUYVYWalk<BGRAToUYVYRow_AVX512, 16>},
};
constexpr RoutineVariant kYUY2ToUYVY[] = {
    {Tier::Plain, YUY2ToUYVY},
    {Tier::AVX2, SwapWalk<YUY2ToUYVYRow_AVX2, 8>},
    {Tier::AVX512, SwapWalk<YUY2ToUYVYRow_AVX512, 8>},
};

template <size_t N>
constexpr RoutineDescription Describe(RoutineId id, const RoutineVariant (&variants)[N]) {
  const RoutineFacts& facts = FactsOf(id);
  return {facts, facts.member.exists() ? static_cast<int>(IndexOf(id)) : kNoSlot, variants, N};
}

}  // namespace

// In the routine table's order.
constexpr RoutineDescription kRoutineCatalogue[kCatalogueSize] = {
    Describe(Id::Planar420ToYUY2, kPlanar420ToYUY2), Describe(Id::Planar420ToUYVY, kPlanar420ToUYVY),
    Describe(Id::Planar420ToBGRA, kPlanar420ToBGRA), Describe(Id::YUY2ToBGRA, kYUY2ToBGRA),
    Describe(Id::UYVYToBGRA, kUYVYToBGRA),           Describe(Id::BGRAToPlanar420, kBGRAToPlanar420),
    Describe(Id::YUY2ToPlanar420, kYUY2ToPlanar420), Describe(Id::UYVYToPlanar420, kUYVYToPlanar420),
    Describe(Id::BGRAToYUY2, kBGRAToYUY2),           Describe(Id::BGRAToUYVY, kBGRAToUYVY),
    Describe(Id::YUY2ToUYVY, kYUY2ToUYVY),
};

namespace {
constexpr bool CatalogueFollowsTheTable() {
  for (size_t i = 0; i < kCatalogueSize; ++i)
    if (IndexOf(kRoutineCatalogue[i].id) != i) return false;
  return true;
}
static_assert(CatalogueFollowsTheTable(), "catalogue rows out of the routine table's order");
}  // namespace

const RoutineVariant* RoutineDescription::variant(Tier tier) const {
  for (const RoutineVariant& v : *this)
    if (v.tier == tier) return &v;
  return nullptr;
}

std::string VariantName(const RoutineDescription& routine, Tier tier) {
  if (tier == Tier::Plain) return routine.name;
  return std::string(routine.name) + "_" + TierName(tier);
}

const RoutineDescription& ByteSwapDescription() { return CatalogueEntry(RoutineId::YUY2ToUYVY); }

AnyRoutine SlotRoutine(const ConversionRoutines& r, RoutineId id) {
  const RoutineSlot& slot = FactsOf(id).member;
  if (slot.planarToPacked != nullptr) return r.*slot.planarToPacked;
  if (slot.packedToPacked != nullptr) return r.*slot.packedToPacked;
  if (slot.toPlanar != nullptr) return r.*slot.toPlanar;
  return {};
}

void SetSlotRoutine(ConversionRoutines& r, RoutineId id, AnyRoutine a) {
  const RoutineSlot& slot = FactsOf(id).member;
  if (slot.planarToPacked != nullptr) r.*slot.planarToPacked = a.planarToPacked;
  if (slot.packedToPacked != nullptr) r.*slot.packedToPacked = a.packedToPacked;
  if (slot.toPlanar != nullptr) r.*slot.toPlanar = a.toPlanar;
}

}  // namespace pellix
