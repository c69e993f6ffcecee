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

template <class Isa>
struct PlanarConstants {
  using V = typename Isa::V;
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

template <class Isa>
PlanarConstants<Isa> LoadPlanarConstants() {
  const RgbToYuvConstantBlock& k = kRgbToYuv;
  static constexpr DwordOrder<Isa::kLanes> kLumaOrder = LumaOrder<Isa::kLanes>();
  static constexpr WordOrder kChromaOrder = ChromaPlaneOrder();
  static constexpr ByteShuffle kInterleave = ChromaPlaneInterleave();
  PlanarConstants<Isa> c{};
  c.componentGather = Isa::RepeatLane(kComponentGather);
  c.evenTimes8 = Isa::Words(BytePair(kLumaScale, 0));
  c.oddTimes8 = Isa::Words(BytePair(0, kLumaScale));
  c.pairSumTimes4 = Isa::Words(BytePair(kChromaScale, kChromaScale));
  c.blueToY = Isa::Words(k.blueToY[0]);
  c.greenToY = Isa::Words(k.greenToY[0]);
  c.redToY = Isa::Words(k.redToY[0]);
  c.blueToU = Isa::Words(k.blueToU[0]);
  c.greenToU = Isa::Words(k.greenToU[0]);
  c.redToU = Isa::Words(k.redToU[0]);
  c.blueToV = Isa::Words(k.blueToV[0]);
  c.greenToV = Isa::Words(k.greenToV[0]);
  c.quarterRound = Isa::Words(kQuarterRound);
  c.lumaBlackLevel = Isa::Bytes(static_cast<uint8_t>(k.lumaBlackLevel[0]));
  c.chromaCentre = Isa::Bytes(kChromaCentre);
  c.lumaOrder = Isa::Load(kLumaOrder.at);
  if constexpr (Isa::kLanes == 4)
    c.chromaOrder = Isa::Load(kChromaOrder.at);
  else
    c.chromaInterleave = Isa::RepeatLane(kInterleave.at);
  return c;
}

template <class Isa>
using Registers = typename Isa::V[kRegistersPerStep];

// One component as the SSE kernel multiplies it: the even pixels and the
// odd pixels times 8, and the pair sums times 4, as words.
template <class Isa>
struct ComponentWords {
  typename Isa::V even;
  typename Isa::V odd;
  typename Isa::V pairSums;
};

template <class Isa>
struct Components {
  ComponentWords<Isa> blue, green, red;
};

template <class Isa>
PELLIX_WIDE_INLINE ComponentWords<Isa> Words(typename Isa::V plane, const PlanarConstants<Isa>& c) {
  return {Isa::MulAddBytePairs(plane, c.evenTimes8), Isa::MulAddBytePairs(plane, c.oddTimes8),
          Isa::MulAddBytePairs(plane, c.pairSumTimes4)};
}

template <class Isa>
PELLIX_WIDE_INLINE Components<Isa> Split(const Registers<Isa>& px, const PlanarConstants<Isa>& c) {
  typename Isa::V gathered[kRegistersPerStep];
  for (int m = 0; m < kRegistersPerStep; ++m) gathered[m] = Isa::ShuffleBytes(px[m], c.componentGather);
  const auto bg01 = Isa::InterleaveLowDwords(gathered[0], gathered[1]);
  const auto bg23 = Isa::InterleaveLowDwords(gathered[2], gathered[3]);
  const auto ra01 = Isa::InterleaveHighDwords(gathered[0], gathered[1]);
  const auto ra23 = Isa::InterleaveHighDwords(gathered[2], gathered[3]);
  return {Words<Isa>(Isa::InterleaveLowQwords(bg01, bg23), c), Words<Isa>(Isa::InterleaveHighQwords(bg01, bg23), c),
          Words<Isa>(Isa::InterleaveLowQwords(ra01, ra23), c)};
}

// The SSE kernel's quarter-unit shift with its rounding half: (x + 2) >> 2.
template <class Isa>
PELLIX_WIDE_INLINE typename Isa::V QuarterUnitsRounded(typename Isa::V x, const PlanarConstants<Isa>& c) {
  return Isa::MulHighRoundedWords(x, c.quarterRound);
}

// Luma without the black level, one per word.
template <class Isa>
PELLIX_WIDE_INLINE typename Isa::V LumaWords(typename Isa::V b, typename Isa::V g, typename Isa::V r,
                                             const PlanarConstants<Isa>& c) {
  const auto blue = Isa::MulHighWords(b, c.blueToY);
  const auto green = Isa::MulHighWords(g, c.greenToY);
  const auto red = Isa::MulHighWords(r, c.redToY);
  return QuarterUnitsRounded<Isa>(Isa::AddWords(Isa::AddWords(blue, green), red), c);
}

// The row's luma bytes in pixel order: even pixels' results in the low
// bytes of the words, odd pixels' in the high bytes (each is below 256, so
// adding the words is joining them).
template <class Isa>
PELLIX_WIDE_INLINE typename Isa::V LumaBytes(const Components<Isa>& s, const PlanarConstants<Isa>& c) {
  const auto even = LumaWords<Isa>(s.blue.even, s.green.even, s.red.even, c);
  const auto odd = LumaWords<Isa>(s.blue.odd, s.green.odd, s.red.odd, c);
  const auto bytes = Isa::AddBytes(Isa::AddWords(Isa::template ShiftLeftWords<8>(odd), even), c.lumaBlackLevel);
  return Isa::PermuteDwords(bytes, c.lumaOrder);
}

// The row's chroma bytes in lane order (see ChromaPlaneOrder).
template <class Isa>
PELLIX_WIDE_INLINE typename Isa::V ChromaBytes(const Components<Isa>& s, const PlanarConstants<Isa>& c) {
  const auto b = s.blue.pairSums;
  const auto g = s.green.pairSums;
  const auto r = s.red.pairSums;
  const auto u = Isa::AddWords(Isa::SubWords(Isa::MulHighWords(b, c.blueToU), Isa::MulHighWords(g, c.greenToU)),
                               Isa::MulHighWords(r, c.redToU));
  const auto v = Isa::AddWords(Isa::SubWords(Isa::MulHighWords(b, c.blueToV), Isa::MulHighWords(g, c.greenToV)),
                               Isa::MulHighWords(r, c.blueToU));
  const auto centred = Isa::PackWordsSigned(QuarterUnitsRounded<Isa>(u, c), QuarterUnitsRounded<Isa>(v, c));
  return Isa::Xor(centred, c.chromaCentre);
}

// The combined chroma bytes of a step in plane order: U in the low half of
// the register, V in the high half.
template <class Isa>
PELLIX_WIDE_INLINE typename Isa::V ChromaPlanes(typename Isa::V combined, const PlanarConstants<Isa>& c) {
  if constexpr (Isa::kLanes == 4)
    return Isa::PermuteWords(combined, c.chromaOrder);
  else
    return Isa::ShuffleBytes(Isa::DealQwords(combined), c.chromaInterleave);
}

// Pixels per step: four registers of BGRA.
template <class Isa>
constexpr int32_t kPlanarStepPixels = kRegistersPerStep* Isa::kBytes / 4;

template <class Isa>
PELLIX_WIDE_INLINE void LoadStep(const uint8_t* src, Registers<Isa>& px) {
  for (int m = 0; m < kRegistersPerStep; ++m) px[m] = Isa::Load(src + m * Isa::kBytes);
}

// One step of a row pair at pixel x.
template <class Isa>
PELLIX_WIDE_INLINE void BgraToPlanarPairStep(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1,
                                             uint8_t* u, uint8_t* v, int32_t x, const PlanarConstants<Isa>& c) {
  Registers<Isa> px;
  LoadStep<Isa>(src0 + 4 * x, px);
  // Each row's chroma right after its luma: one register, not six, stays
  // live across the second row, which keeps the constants in registers.
  const Components<Isa> first = Split<Isa>(px, c);
  Isa::Store(y0 + x, LumaBytes<Isa>(first, c));
  const auto firstChroma = ChromaBytes<Isa>(first, c);
  LoadStep<Isa>(src1 + 4 * x, px);
  const Components<Isa> second = Split<Isa>(px, c);
  Isa::Store(y1 + x, LumaBytes<Isa>(second, c));
  const auto planes = ChromaPlanes<Isa>(Isa::AverageBytes(firstChroma, ChromaBytes<Isa>(second, c)), c);
  Isa::StoreLowHalf(u + x / 2, planes);
  Isa::StoreHighHalf(v + x / 2, planes);
}

// The whole steps of a row pair; returns the pixels converted.
template <class Isa>
int32_t BgraToPlanarPairRows(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u, uint8_t* v,
                             int32_t pixels) {
  const PlanarConstants<Isa> c = LoadPlanarConstants<Isa>();
  constexpr int32_t kStep = kPlanarStepPixels<Isa>;
  int32_t x = 0;
  for (; PrefetchStaysInRow(ptrdiff_t{4} * x, 4 * kStep, ptrdiff_t{4} * pixels); x += kStep) {
    PrefetchRowPairAhead(src0, src1, ptrdiff_t{4} * x, 4 * kStep);
    BgraToPlanarPairStep<Isa>(src0, src1, y0, y1, u, v, x, c);
  }
  for (; x + kStep <= pixels; x += kStep) BgraToPlanarPairStep<Isa>(src0, src1, y0, y1, u, v, x, c);
  return x;
}

// A last odd row: luma only.
template <class Isa>
int32_t BgraToPlanarLumaRow(const uint8_t* src, uint8_t* y, int32_t pixels) {
  const PlanarConstants<Isa> c = LoadPlanarConstants<Isa>();
  int32_t x = 0;
  for (; x + kPlanarStepPixels<Isa> <= pixels; x += kPlanarStepPixels<Isa>) {
    Registers<Isa> px;
    LoadStep<Isa>(src + 4 * x, px);
    Isa::Store(y + x, LumaBytes<Isa>(Split<Isa>(px, c), c));
  }
  return x;
}

}  // namespace
}  // namespace pellix
