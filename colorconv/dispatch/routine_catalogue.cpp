#include "colorconv/dispatch/routine_catalogue.h"

#include "colorconv/plain/plain_routines.h"
#include "colorconv/simd/frame_walks.h"
#include "colorconv/simd/row_kernels.h"
#include "colorconv/simd/simd_routines.h"

namespace pellix {
namespace {

// A row kernel and its group size driven by the frame walk of its shape,
// as a routine of that shape.
template <PixelFormat kTo, bool kBottomUp, Planar420ToPackedRow kRow, int32_t kGroup>
void Walked(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV, int32_t srcChromaStride,
            uint8_t* dst, int32_t width, int32_t height, int32_t dstStride, const ColorAdjustment* adjust,
            int32_t interlaced) {
  static constexpr PlanarToPackedWalk kWalk{{kRow, kGroup}, kTo, kBottomUp};
  WalkPlanar420ToPacked(kWalk, srcY, srcYStride, srcU, srcV, srcChromaStride, dst, width, height, dstStride, adjust,
                        interlaced);
}

template <PixelFormat kFrom, PixelFormat kTo, PitchConverted kPitch, PackedToPackedRow kRow, int32_t kGroup>
int32_t Walked(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t height,
               int32_t /*width: the whole pitch is converted*/) {
  static constexpr PackedToPackedWalk kWalk{{kRow, kGroup}, kFrom, kTo, kPitch};
  WalkPackedToPacked(kWalk, src, srcStride, dst, dstStride, height);
  return 0;
}

template <PixelFormat kFrom, ChromaRowRule kRule, ToPlanar420PairRow kPair, ToPlanar420LumaRow kLuma, int32_t kGroup>
int32_t Walked(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY, uint8_t* dstU,
               uint8_t* dstV, int32_t dstYStride, int32_t /*flip*/, int32_t /*interlaced*/) {
  static constexpr ToPlanarWalk kWalk{{kPair, kLuma, kGroup}, kFrom, kRule};
  WalkToPlanar420(kWalk, width, height, src, srcPitch, dstY, dstU, dstV, dstYStride);
  return 0;
}

// What each routine's walk needs to know besides its kernel. Slot 2 reads a
// negatively high source bottom-up, as its MMX routine always has; BGRA to
// planar places chroma rows at half the luma offset.
template <Planar420ToPackedRow kRow, int32_t kGroup>
constexpr Planar420ToPackedRoutine ToYUY2 = Walked<PixelFormat::YUY2, false, kRow, kGroup>;
template <Planar420ToPackedRow kRow, int32_t kGroup>
constexpr Planar420ToPackedRoutine ToUYVY = Walked<PixelFormat::UYVY, false, kRow, kGroup>;
template <Planar420ToPackedRow kRow, int32_t kGroup>
constexpr Planar420ToPackedRoutine ToBGRA = Walked<PixelFormat::BGRA, true, kRow, kGroup>;
template <ToPlanar420PairRow kPair, ToPlanar420LumaRow kLuma, int32_t kGroup>
constexpr ToPlanar420Routine FromBGRA =
    Walked<PixelFormat::BGRA, ChromaRowRule::HalfOfLumaOffset, kPair, kLuma, kGroup>;
template <ToPlanar420PairRow kPair, ToPlanar420LumaRow kLuma, int32_t kGroup>
constexpr ToPlanar420Routine FromYUY2 = Walked<PixelFormat::YUY2, ChromaRowRule::HalvedStride, kPair, kLuma, kGroup>;
template <ToPlanar420PairRow kPair, ToPlanar420LumaRow kLuma, int32_t kGroup>
constexpr ToPlanar420Routine FromUYVY = Walked<PixelFormat::UYVY, ChromaRowRule::HalvedStride, kPair, kLuma, kGroup>;
template <PackedToPackedRow kRow, int32_t kGroup>
constexpr PackedToPackedRoutine YUY2ToBGRAWalk =
    Walked<PixelFormat::YUY2, PixelFormat::BGRA, PitchConverted::Source, kRow, kGroup>;
template <PackedToPackedRow kRow, int32_t kGroup>
constexpr PackedToPackedRoutine UYVYToBGRAWalk =
    Walked<PixelFormat::UYVY, PixelFormat::BGRA, PitchConverted::Source, kRow, kGroup>;
template <PackedToPackedRow kRow, int32_t kGroup>
constexpr PackedToPackedRoutine BGRAToYUY2Walk =
    Walked<PixelFormat::BGRA, PixelFormat::YUY2, PitchConverted::Destination, kRow, kGroup>;
template <PackedToPackedRow kRow, int32_t kGroup>
constexpr PackedToPackedRoutine BGRAToUYVYWalk =
    Walked<PixelFormat::BGRA, PixelFormat::UYVY, PitchConverted::Destination, kRow, kGroup>;
template <PackedToPackedRow kRow, int32_t kGroup>
constexpr PackedToPackedRoutine SwapWalk =
    Walked<PixelFormat::YUY2, PixelFormat::UYVY, PitchConverted::Source, kRow, kGroup>;

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
constexpr RoutineDescription Describe(const char* name, int slot, RoutineShape shape, PixelFormat from, PixelFormat to,
                                      Tier reference, const RoutineVariant (&variants)[N]) {
  return {name, slot, shape, from, to, reference, variants, N};
}

constexpr auto kA = RoutineShape::PlanarToPacked;
constexpr auto kB = RoutineShape::PackedToPacked;
constexpr auto kC = RoutineShape::ToPlanar;
constexpr auto kI420 = PixelFormat::I420;
constexpr auto kYUY2 = PixelFormat::YUY2;
constexpr auto kUYVY = PixelFormat::UYVY;
constexpr auto kBGRA = PixelFormat::BGRA;

}  // namespace

const RoutineDescription kRoutineCatalogue[kCatalogueSize] = {
    Describe("Planar420ToYUY2", 0, kA, kI420, kYUY2, Tier::SSE2, kPlanar420ToYUY2),
    Describe("Planar420ToUYVY", 1, kA, kI420, kUYVY, Tier::Plain, kPlanar420ToUYVY),
    Describe("Planar420ToBGRA", 2, kA, kI420, kBGRA, Tier::MMX, kPlanar420ToBGRA),
    Describe("YUY2ToBGRA", 3, kB, kYUY2, kBGRA, Tier::Plain, kYUY2ToBGRA),
    Describe("UYVYToBGRA", 4, kB, kUYVY, kBGRA, Tier::Plain, kUYVYToBGRA),
    Describe("BGRAToPlanar420", 5, kC, kBGRA, kI420, Tier::SSE, kBGRAToPlanar420),
    Describe("YUY2ToPlanar420", 6, kC, kYUY2, kI420, Tier::SSE, kYUY2ToPlanar420),
    Describe("UYVYToPlanar420", 7, kC, kUYVY, kI420, Tier::Plain, kUYVYToPlanar420),
    Describe("BGRAToYUY2", 8, kB, kBGRA, kYUY2, Tier::Plain, kBGRAToYUY2),
    Describe("BGRAToUYVY", 9, kB, kBGRA, kUYVY, Tier::Plain, kBGRAToUYVY),
    Describe("YUY2ToUYVY", kNoSlot, kB, kYUY2, kUYVY, Tier::Plain, kYUY2ToUYVY),
};

const RoutineVariant* RoutineDescription::variant(Tier tier) const {
  for (const RoutineVariant& v : *this)
    if (v.tier == tier) return &v;
  return nullptr;
}

std::string VariantName(const RoutineDescription& routine, Tier tier) {
  if (tier == Tier::Plain) return routine.name;
  return std::string(routine.name) + "_" + TierName(tier);
}

const RoutineDescription& ByteSwapDescription() { return kRoutineCatalogue[kCatalogueSize - 1]; }

AnyRoutine SlotRoutine(const ConversionRoutines& r, int slot) {
  switch (slot) {
    case 0:
      return r.planar420ToYUY2;
    case 1:
      return r.planar420ToUYVY;
    case 2:
      return r.planar420ToBGRA;
    case 3:
      return r.yuy2ToBGRA;
    case 4:
      return r.uyvyToBGRA;
    case 5:
      return r.bgraToPlanar420;
    case 6:
      return r.yuy2ToPlanar420;
    case 7:
      return r.uyvyToPlanar420;
    case 8:
      return r.bgraToYUY2;
    case 9:
      return r.bgraToUYVY;
    default:
      return {};
  }
}

void SetSlotRoutine(ConversionRoutines& r, int slot, AnyRoutine a) {
  switch (slot) {
    case 0:
      r.planar420ToYUY2 = a.planarToPacked;
      break;
    case 1:
      r.planar420ToUYVY = a.planarToPacked;
      break;
    case 2:
      r.planar420ToBGRA = a.planarToPacked;
      break;
    case 3:
      r.yuy2ToBGRA = a.packedToPacked;
      break;
    case 4:
      r.uyvyToBGRA = a.packedToPacked;
      break;
    case 5:
      r.bgraToPlanar420 = a.toPlanar;
      break;
    case 6:
      r.yuy2ToPlanar420 = a.toPlanar;
      break;
    case 7:
      r.uyvyToPlanar420 = a.toPlanar;
      break;
    case 8:
      r.bgraToYUY2 = a.packedToPacked;
      break;
    case 9:
      r.bgraToUYVY = a.packedToPacked;
      break;
    default:
      break;
  }
}

}  // namespace pellix
