// BGRA to planar 4:2:0 in wide registers, byte for byte the SSE kernel
// (bgra_to_planar420_body64.h with bgra_to_planar420_sse.cpp) and with its
// constants (RgbToYuvConstants):
// - luma of each pixel from B, G and R times 8, each multiply-high product
//   floored on its own, plus the luma bias, shifted right by 2;
// - U and V of each horizontal pair of each row from the pair sums times 4,
//   each product floored on its own, plus the chroma bias, shifted right by
//   2 (arithmetic);
// - each row's chroma packed to bytes with unsigned saturation, the two
//   rows combined by the rounding byte average (a + b + 1) >> 1.
// The SSE kernel adds the luma products with saturation and the chroma
// products in wrapping words; neither limit is ever reached (see the
// static_asserts), so exact sums give the same values.
//
// The pixels are first split into planes of B, G and R bytes. One byte
// multiply-add per plane then gives the words the SSE kernel multiplies:
// the even pixels times 8, the odd pixels times 8 (luma works on each) and
// the pair sums times 4 (chroma). Each bias is a multiple of 4 plus 2, so
// "add the bias, shift right by 2" is the rounding multiply-high by 2^13
// ((x + 2) >> 2, arithmetic) with the bias over 4 added after packing:
// to the luma bytes, and to the chroma as the signed pack's bytes moved up
// by 128, which saturates exactly where the unsigned pack of the sum does.
//
// A step is four registers of each of the two rows. Byte shuffles, packs
// and interleaves work per 128-bit lane: lane k of the planes holds pixels
// 4k..4k+3 of each register in turn, and a permute per step puts luma and
// chroma back in pixel order.
#pragma once

#include <cstddef>
#include <cstdint>

#include "colorconv/simd/row_prefetch.h"
#include "colorconv/simd/simd_constants.h"
#include "colorconv/simd/vector_registers.h"

namespace pellix {
namespace {

constexpr RgbToYuvConstantBlock kRgbToYuv = RgbToYuvConstants;

// The SSE kernel's scaling: B, G and R times 8 for luma; for chroma the
// halved pair sums of those, 4 * (c0 + c1). Its results are in quarter
// units: shifted right by 2 after the bias.
constexpr int32_t kLumaScale = 8;
constexpr int32_t kChromaScale = 4;
constexpr int kQuarterUnits = 2;
constexpr int32_t kQuarterRounding = 1 << (kQuarterUnits - 1);

static_assert(kRgbToYuv.blueToY[0] > 0 && kRgbToYuv.greenToY[0] > 0 && kRgbToYuv.redToY[0] > 0,
              "luma products are never negative, so the shifts agree");

constexpr int32_t LumaProductMax(int16_t k) { return kLumaScale * 255 * k >> 16; }
constexpr int32_t kLumaSumMax = LumaProductMax(kRgbToYuv.blueToY[0]) + LumaProductMax(kRgbToYuv.greenToY[0]) +
                                LumaProductMax(kRgbToYuv.redToY[0]) + kRgbToYuv.lumaBias[0];
// No saturation in the SSE kernel's adds, and no luma byte past 255.
static_assert(kLumaSumMax < (1 << (8 + kQuarterUnits)), "luma sums must stay below 1024");
static_assert(kRgbToYuv.lumaBias[0] == (kRgbToYuv.lumaBlackLevel[0] << kQuarterUnits) + kQuarterRounding,
              "the luma bias is the black level in quarter units plus one half");
constexpr int32_t kChromaCentre = 128;
static_assert(kRgbToYuv.chromaBias[0] == (kChromaCentre << kQuarterUnits) + kQuarterRounding,
              "the chroma bias is the centre in quarter units plus one half");
// (x * 2^13 + 2^14) >> 15 is (x + 2) >> 2.
constexpr int16_t kQuarterRound = 1 << (15 - kQuarterUnits);

constexpr int kRegistersPerStep = 4;

template <int kLanes>
struct DwordOrder {
  int32_t at[kRegistersPerStep * kLanes];
};

// Lane k of the luma bytes holds four pixels of each register m in turn;
// dword m * kLanes + k of the row is dword 4k + m of the register.
template <int kLanes>
constexpr DwordOrder<kLanes> LumaOrder() {
  DwordOrder<kLanes> order{};
  for (int m = 0; m < kRegistersPerStep; ++m)
    for (int k = 0; k < kLanes; ++k) order.at[m * kLanes + k] = 4 * k + m;
  return order;
}

struct ByteShuffle {
  uint8_t at[16];
};

struct WordOrder {
  int16_t at[32];
};

// The chroma bytes of a row leave lane k as the U bytes, then the V bytes,
// of the lane's two pairs of each register m, so word m of each half holds
// two neighbouring pairs. 4 lanes: U word m of lane k is word m * 4 + k of
// the U plane's row, which fills the register's low half; V words likewise
// the high half.
constexpr WordOrder ChromaPlaneOrder() {
  constexpr int kLanes = 4;
  WordOrder order{};
  for (int m = 0; m < kRegistersPerStep; ++m) {
    for (int k = 0; k < kLanes; ++k) {
      order.at[m * kLanes + k] = static_cast<int16_t>(8 * k + m);
      order.at[16 + m * kLanes + k] = static_cast<int16_t>(8 * k + 4 + m);
    }
  }
  return order;
}

// 2 lanes, after the lanes' U halves are gathered into lane 0 and their V
// halves into lane 1: word m of each source lane k goes to word 2m + k.
constexpr ByteShuffle ChromaPlaneInterleave() {
  ByteShuffle s{};
  for (int m = 0; m < kRegistersPerStep; ++m)
    for (int k = 0; k < 2; ++k)
      for (int e = 0; e < 2; ++e) s.at[2 * (2 * m + k) + e] = static_cast<uint8_t>(2 * (4 * k + m) + e);
  return s;
}

// Within a lane of four pixels: their B bytes, G bytes, R bytes, A bytes.
constexpr uint8_t kComponentGather[16] = {0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15};

// The byte multipliers of the plane multiply-adds, as words: low byte for
// the even pixel of each pair, high byte for the odd one.
constexpr int16_t BytePair(int32_t even, int32_t odd) { return static_cast<int16_t>(even | odd << 8); }

template <class Reg>
struct PlanarConstants {
  using V = typename Reg::V;
  V componentGather;
  V evenTimes8, oddTimes8, pairSumTimes4;  // byte multipliers
  V blueToY, greenToY, redToY;
  V blueToU, greenToU, redToU, blueToV, greenToV;  // red to V is blue to U
  V quarterRound;
  V lumaBlackLevel;  // bytes
  V chromaCentre;    // bytes
  V lumaOrder;
  V chromaOrder;       // 4 lanes: word permute
  V chromaInterleave;  // 2 lanes: last shuffle
};

template <class Reg>
PlanarConstants<Reg> LoadPlanarConstants() {
  const RgbToYuvConstantBlock& k = kRgbToYuv;
  static constexpr DwordOrder<Reg::kLanes> kLumaOrder = LumaOrder<Reg::kLanes>();
  static constexpr WordOrder kChromaOrder = ChromaPlaneOrder();
  static constexpr ByteShuffle kInterleave = ChromaPlaneInterleave();
  PlanarConstants<Reg> c{};
  c.componentGather = Reg::RepeatLane(kComponentGather);
  c.evenTimes8 = Reg::Words(BytePair(kLumaScale, 0));
  c.oddTimes8 = Reg::Words(BytePair(0, kLumaScale));
  c.pairSumTimes4 = Reg::Words(BytePair(kChromaScale, kChromaScale));
  c.blueToY = Reg::Words(k.blueToY[0]);
  c.greenToY = Reg::Words(k.greenToY[0]);
  c.redToY = Reg::Words(k.redToY[0]);
  c.blueToU = Reg::Words(k.blueToU[0]);
  c.greenToU = Reg::Words(k.greenToU[0]);
  c.redToU = Reg::Words(k.redToU[0]);
  c.blueToV = Reg::Words(k.blueToV[0]);
  c.greenToV = Reg::Words(k.greenToV[0]);
  c.quarterRound = Reg::Words(kQuarterRound);
  c.lumaBlackLevel = Reg::Bytes(static_cast<uint8_t>(k.lumaBlackLevel[0]));
  c.chromaCentre = Reg::Bytes(kChromaCentre);
  c.lumaOrder = Reg::Load(kLumaOrder.at);
  if constexpr (Reg::kLanes == 4)
    c.chromaOrder = Reg::Load(kChromaOrder.at);
  else
    c.chromaInterleave = Reg::RepeatLane(kInterleave.at);
  return c;
}

template <class Reg>
using Registers = typename Reg::V[kRegistersPerStep];

// One component as the SSE kernel multiplies it: the even pixels and the
// odd pixels times 8, and the pair sums times 4, as words.
template <class Reg>
struct ComponentWords {
  typename Reg::V even;
  typename Reg::V odd;
  typename Reg::V pairSums;
};

template <class Reg>
struct Components {
  ComponentWords<Reg> blue, green, red;
};

template <class Reg>
PELLIX_WIDE_INLINE ComponentWords<Reg> Words(typename Reg::V plane, const PlanarConstants<Reg>& c) {
  return {Reg::MulAddBytePairs(plane, c.evenTimes8), Reg::MulAddBytePairs(plane, c.oddTimes8),
          Reg::MulAddBytePairs(plane, c.pairSumTimes4)};
}

template <class Reg>
PELLIX_WIDE_INLINE Components<Reg> Split(const Registers<Reg>& px, const PlanarConstants<Reg>& c) {
  typename Reg::V gathered[kRegistersPerStep];
  for (int m = 0; m < kRegistersPerStep; ++m) gathered[m] = Reg::ShuffleBytes(px[m], c.componentGather);
  const auto bg01 = Reg::InterleaveLowDwords(gathered[0], gathered[1]);
  const auto bg23 = Reg::InterleaveLowDwords(gathered[2], gathered[3]);
  const auto ra01 = Reg::InterleaveHighDwords(gathered[0], gathered[1]);
  const auto ra23 = Reg::InterleaveHighDwords(gathered[2], gathered[3]);
  return {Words<Reg>(Reg::InterleaveLowQwords(bg01, bg23), c), Words<Reg>(Reg::InterleaveHighQwords(bg01, bg23), c),
          Words<Reg>(Reg::InterleaveLowQwords(ra01, ra23), c)};
}

// The SSE kernel's quarter-unit shift with its rounding half: (x + 2) >> 2.
template <class Reg>
PELLIX_WIDE_INLINE typename Reg::V QuarterUnitsRounded(typename Reg::V x, const PlanarConstants<Reg>& c) {
  return Reg::MulHighRoundedWords(x, c.quarterRound);
}

// Luma without the black level, one per word.
template <class Reg>
PELLIX_WIDE_INLINE typename Reg::V LumaWords(typename Reg::V b, typename Reg::V g, typename Reg::V r,
                                             const PlanarConstants<Reg>& c) {
  const auto blue = Reg::MulHighWords(b, c.blueToY);
  const auto green = Reg::MulHighWords(g, c.greenToY);
  const auto red = Reg::MulHighWords(r, c.redToY);
  return QuarterUnitsRounded<Reg>(Reg::AddWords(Reg::AddWords(blue, green), red), c);
}

// The row's luma bytes in pixel order: even pixels' results in the low
// bytes of the words, odd pixels' in the high bytes (each is below 256, so
// adding the words is joining them).
template <class Reg>
PELLIX_WIDE_INLINE typename Reg::V LumaBytes(const Components<Reg>& s, const PlanarConstants<Reg>& c) {
  const auto even = LumaWords<Reg>(s.blue.even, s.green.even, s.red.even, c);
  const auto odd = LumaWords<Reg>(s.blue.odd, s.green.odd, s.red.odd, c);
  const auto bytes = Reg::AddBytes(Reg::AddWords(Reg::template ShiftLeftWords<8>(odd), even), c.lumaBlackLevel);
  return Reg::PermuteDwords(bytes, c.lumaOrder);
}

// The row's chroma bytes in lane order (see ChromaPlaneOrder).
template <class Reg>
PELLIX_WIDE_INLINE typename Reg::V ChromaBytes(const Components<Reg>& s, const PlanarConstants<Reg>& c) {
  const auto b = s.blue.pairSums;
  const auto g = s.green.pairSums;
  const auto r = s.red.pairSums;
  const auto u = Reg::AddWords(Reg::SubWords(Reg::MulHighWords(b, c.blueToU), Reg::MulHighWords(g, c.greenToU)),
                               Reg::MulHighWords(r, c.redToU));
  const auto v = Reg::AddWords(Reg::SubWords(Reg::MulHighWords(b, c.blueToV), Reg::MulHighWords(g, c.greenToV)),
                               Reg::MulHighWords(r, c.blueToU));
  const auto centred = Reg::PackWordsSigned(QuarterUnitsRounded<Reg>(u, c), QuarterUnitsRounded<Reg>(v, c));
  return Reg::Xor(centred, c.chromaCentre);
}

// The combined chroma bytes of a step in plane order: U in the low half of
// the register, V in the high half.
template <class Reg>
PELLIX_WIDE_INLINE typename Reg::V ChromaPlanes(typename Reg::V combined, const PlanarConstants<Reg>& c) {
  if constexpr (Reg::kLanes == 4)
    return Reg::PermuteWords(combined, c.chromaOrder);
  else
    return Reg::ShuffleBytes(Reg::DealQwords(combined), c.chromaInterleave);
}

// Pixels per step: four registers of BGRA.
template <class Reg>
constexpr int32_t kPlanarStepPixels = kRegistersPerStep* Reg::kBytes / 4;

template <class Reg>
PELLIX_WIDE_INLINE void LoadStep(const uint8_t* src, Registers<Reg>& px) {
  for (int m = 0; m < kRegistersPerStep; ++m) px[m] = Reg::Load(src + m * Reg::kBytes);
}

// One step of a row pair at pixel x.
template <class Reg>
PELLIX_WIDE_INLINE void BgraToPlanarPairStep(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1,
                                             uint8_t* u, uint8_t* v, int32_t x, const PlanarConstants<Reg>& c) {
  Registers<Reg> px;
  LoadStep<Reg>(src0 + 4 * x, px);
  // Each row's chroma right after its luma: one register, not six, stays
  // live across the second row, which keeps the constants in registers.
  const Components<Reg> first = Split<Reg>(px, c);
  Reg::Store(y0 + x, LumaBytes<Reg>(first, c));
  const auto firstChroma = ChromaBytes<Reg>(first, c);
  LoadStep<Reg>(src1 + 4 * x, px);
  const Components<Reg> second = Split<Reg>(px, c);
  Reg::Store(y1 + x, LumaBytes<Reg>(second, c));
  const auto planes = ChromaPlanes<Reg>(Reg::AverageBytes(firstChroma, ChromaBytes<Reg>(second, c)), c);
  Reg::StoreLowHalf(u + x / 2, planes);
  Reg::StoreHighHalf(v + x / 2, planes);
}

// The whole steps of a row pair; returns the pixels converted.
template <class Reg>
int32_t BgraToPlanarPairRows(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u, uint8_t* v,
                             int32_t pixels) {
  const PlanarConstants<Reg> c = LoadPlanarConstants<Reg>();
  constexpr int32_t kStep = kPlanarStepPixels<Reg>;
  int32_t x = 0;
  for (; PrefetchStaysInRow(ptrdiff_t{4} * x, 4 * kStep, ptrdiff_t{4} * pixels); x += kStep) {
    PrefetchRowPairAhead(src0, src1, ptrdiff_t{4} * x, 4 * kStep);
    BgraToPlanarPairStep<Reg>(src0, src1, y0, y1, u, v, x, c);
  }
  for (; x + kStep <= pixels; x += kStep) BgraToPlanarPairStep<Reg>(src0, src1, y0, y1, u, v, x, c);
  return x;
}

// A last odd row: luma only.
template <class Reg>
int32_t BgraToPlanarLumaRow(const uint8_t* src, uint8_t* y, int32_t pixels) {
  const PlanarConstants<Reg> c = LoadPlanarConstants<Reg>();
  int32_t x = 0;
  for (; x + kPlanarStepPixels<Reg> <= pixels; x += kPlanarStepPixels<Reg>) {
    Registers<Reg> px;
    LoadStep<Reg>(src + 4 * x, px);
    Reg::Store(y + x, LumaBytes<Reg>(Split<Reg>(px, c), c));
  }
  return x;
}

}  // namespace
}  // namespace pellix
