// The twenty ordered pairs of formats and how each is converted: the
// routine it calls (none for the plane copy) and the plane order of its
// planar side. The way through (conversion_paths.h) follows from the
// routine's row in the routine table, and one converter is made per way,
// routine and plane order, so the two directions of the plane copy and of
// the byte swap share theirs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

#include "colorconv/converters/conversion_paths.h"
#include "colorconv/dispatch/routine_table.h"
#include "formats/pixel_format.h"
#include "sdk/host.h"

namespace pellix {

// source frame, the component's image description, interlace flag (0 or 1),
// destination frame.
using FrameConverter = bool (*)(Tessel::Frame* src, const Tessel::ImageProperties* props, uint8_t interlaced,
                                Tessel::Frame* dst);

namespace converters {

struct PairRow {
  PixelFormat input;
  PixelFormat output;
  std::optional<RoutineId> routine;  // none: the planes are copied
  PlaneOrder order;                  // of the planar side, if any
};

enum class ConversionPath { PlanarToPacked, PackedToBgra, BgraToPacked, ToPlanar, PlaneCopy, ByteSwap };

constexpr ConversionPath PathOf(const PairRow& row) {
  if (!row.routine) return ConversionPath::PlaneCopy;
  const RoutineFacts& routine = FactsOf(*row.routine);
  switch (routine.shape) {
    case RoutineShape::PlanarToPacked:
      return ConversionPath::PlanarToPacked;
    case RoutineShape::ToPlanar:
      return ConversionPath::ToPlanar;
    case RoutineShape::PackedToPacked:
      break;
  }
  if (routine.source == PixelFormat::BGRA) return ConversionPath::BgraToPacked;
  if (routine.destination == PixelFormat::BGRA) return ConversionPath::PackedToBgra;
  return ConversionPath::ByteSwap;
}

namespace pair_rows {
constexpr auto kI420 = PixelFormat::I420;
constexpr auto kYV12 = PixelFormat::YV12;
constexpr auto kYUY2 = PixelFormat::YUY2;
constexpr auto kUYVY = PixelFormat::UYVY;
constexpr auto kBGRA = PixelFormat::BGRA;
constexpr auto kU = PlaneOrder::UFirst;
constexpr auto kV = PlaneOrder::VFirst;
using Id = RoutineId;

inline constexpr PairRow kPairTable[] = {
    {kI420, kYV12, std::nullopt, kU},        {kI420, kUYVY, Id::Planar420ToUYVY, kU},
    {kI420, kYUY2, Id::Planar420ToYUY2, kU}, {kI420, kBGRA, Id::Planar420ToBGRA, kU},
    {kYV12, kI420, std::nullopt, kU},        {kYV12, kUYVY, Id::Planar420ToUYVY, kV},
    {kYV12, kYUY2, Id::Planar420ToYUY2, kV}, {kYV12, kBGRA, Id::Planar420ToBGRA, kV},
    {kUYVY, kI420, Id::UYVYToPlanar420, kU}, {kUYVY, kYV12, Id::UYVYToPlanar420, kV},
    {kUYVY, kYUY2, Id::YUY2ToUYVY, kU},      {kUYVY, kBGRA, Id::UYVYToBGRA, kU},
    {kYUY2, kI420, Id::YUY2ToPlanar420, kU}, {kYUY2, kYV12, Id::YUY2ToPlanar420, kV},
    {kYUY2, kUYVY, Id::YUY2ToUYVY, kU},      {kYUY2, kBGRA, Id::YUY2ToBGRA, kU},
    {kBGRA, kI420, Id::BGRAToPlanar420, kU}, {kBGRA, kYV12, Id::BGRAToPlanar420, kV},
    {kBGRA, kUYVY, Id::BGRAToUYVY, kU},      {kBGRA, kYUY2, Id::BGRAToYUY2, kU},
};
}  // namespace pair_rows

using pair_rows::kPairTable;
constexpr size_t kPairCount = sizeof(kPairTable) / sizeof(kPairTable[0]);

// The first row converted the same way as row i: its converter serves both.
constexpr size_t SharedRow(size_t i) {
  for (size_t j = 0; j < i; ++j) {
    if (PathOf(kPairTable[j]) == PathOf(kPairTable[i]) && kPairTable[j].routine == kPairTable[i].routine &&
        kPairTable[j].order == kPairTable[i].order) {
      return j;
    }
  }
  return i;
}

// The converter of row kRow, which converts through its way with the
// routine the process has installed in that routine's slot.
template <size_t kRow>
bool PairConverter(Tessel::Frame* src, const Tessel::ImageProperties* props, uint8_t interlaced, Tessel::Frame* dst) {
  constexpr PairRow kPair = kPairTable[kRow];
  constexpr ConversionPath kPath = PathOf(kPair);
  if constexpr (kPath == ConversionPath::PlaneCopy) {
    return CopyPlanesSwappingChroma(src, props, dst);
  } else {
    constexpr RoutineFacts kRoutine = FactsOf(*kPair.routine);
    const ConversionRoutines& active = ActiveConversionRoutines();
    if constexpr (kPath == ConversionPath::PlanarToPacked) {
      return ConvertPlanarToPacked(src, interlaced, dst, kPair.order, kRoutine.destination,
                                   active.*kRoutine.member.planarToPacked);
    } else if constexpr (kPath == ConversionPath::PackedToBgra) {
      return ConvertPackedToBgra(src, props, dst, active.*kRoutine.member.packedToPacked);
    } else if constexpr (kPath == ConversionPath::BgraToPacked) {
      return ConvertBgraToPacked(src, dst, kRoutine.destination, active.*kRoutine.member.packedToPacked);
    } else if constexpr (kPath == ConversionPath::ToPlanar) {
      return ConvertToPlanar(src, kRoutine.source, dst, kPair.order, active.*kRoutine.member.toPlanar);
    } else {
      return SwapPackedBytePairs(src, dst);
    }
  }
}

template <size_t... kRows>
constexpr auto MakePairConverters(std::index_sequence<kRows...>) {
  return std::array<FrameConverter, sizeof...(kRows)>{&PairConverter<SharedRow(kRows)>...};
}

inline constexpr std::array<FrameConverter, kPairCount> kPairConverters =
    MakePairConverters(std::make_index_sequence<kPairCount>());

// The converter of an ordered pair, or null for a pair not in the table.
constexpr FrameConverter PairConverterFor(PixelFormat input, PixelFormat output) {
  for (size_t i = 0; i < kPairCount; ++i)
    if (kPairTable[i].input == input && kPairTable[i].output == output) return kPairConverters[i];
  return nullptr;
}

}  // namespace converters
}  // namespace pellix
