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
// The pixels are first split into planes of B, G and R bytes, then into
// words of the even and of the odd pixels: luma works on each, and a pair
// sum is an even word plus an odd word. The scaling by 8 or 4 moves into
// the constants: multiply-high of 8x by k is the whole part of 8k / 65536
// times x plus the unsigned multiply-high of x by the rest; of 4x by k it is
// the multiply-high of x by 4k (unsigned when k is positive).
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

// Multiply-high of kLumaScale * x by k: whole * x + mulhi_unsigned(x, fraction).
struct LumaMultiplier {
  int32_t whole;
  uint16_t fraction;
};

constexpr LumaMultiplier LumaMultiplierOf(int16_t k) {
  return {kLumaScale * k >> 16, static_cast<uint16_t>(kLumaScale * k & 0xFFFF)};
}

constexpr LumaMultiplier kBlueToY = LumaMultiplierOf(kRgbToYuv.blueToY[0]);
constexpr LumaMultiplier kGreenToY = LumaMultiplierOf(kRgbToYuv.greenToY[0]);
constexpr LumaMultiplier kRedToY = LumaMultiplierOf(kRgbToYuv.redToY[0]);
static_assert(kRgbToYuv.blueToY[0] > 0 && kRgbToYuv.greenToY[0] > 0 && kRgbToYuv.redToY[0] > 0,
              "luma products are taken unsigned");

constexpr int32_t LumaProductMax(int16_t k) { return kLumaScale * 255 * k >> 16; }
constexpr int32_t kLumaSumMax = LumaProductMax(kRgbToYuv.blueToY[0]) + LumaProductMax(kRgbToYuv.greenToY[0]) +
                                LumaProductMax(kRgbToYuv.redToY[0]) + kRgbToYuv.lumaBias[0];
// No saturation in the SSE kernel's adds, and the sum of an odd pixel still
// fits a word when moved up to the high byte.
static_assert(kLumaSumMax < (1 << (16 - 8 + kQuarterUnits)), "luma sums must stay below 1024");

// Multiply-high of kChromaScale * x by k as one multiply-high of x; the
// pair sums x are at most 510, so no intermediate comes near a word's range.
constexpr int32_t ChromaMultiplier(int16_t k) { return kChromaScale * k; }
constexpr bool ChromaMultiplierFits(int16_t k) {
  return k > 0 ? ChromaMultiplier(k) <= 0xFFFF : ChromaMultiplier(k) >= -0x8000;
}
static_assert(ChromaMultiplierFits(kRgbToYuv.blueToU[0]) && ChromaMultiplierFits(kRgbToYuv.greenToU[0]) &&
                  ChromaMultiplierFits(kRgbToYuv.redToU[0]) && ChromaMultiplierFits(kRgbToYuv.greenToV[0]) &&
                  ChromaMultiplierFits(kRgbToYuv.blueToV[0]),
              "chroma constants times 4 must fit a word");

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

// The low 16 bits of w in every word.
template <class Isa>
typename Isa::V RepeatWord(int32_t w) {
  return Isa::Words(static_cast<int16_t>(w));
}

template <class Isa>
struct PlanarConstants {
  using V = typename Isa::V;
  V componentGather;
  V lowBytes;
  V highBytes;
  V blueToY, greenToY, redToY;  // fractions of LumaMultiplier
  V lumaBias;
  V blueToU, greenToU, redToU, blueToV, greenToV, redToV;  // times kChromaScale
  V chromaBias;
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
  c.lowBytes = RepeatWord<Isa>(0x00FF);
  c.highBytes = RepeatWord<Isa>(0xFF00);
  c.blueToY = RepeatWord<Isa>(kBlueToY.fraction);
  c.greenToY = RepeatWord<Isa>(kGreenToY.fraction);
  c.redToY = RepeatWord<Isa>(kRedToY.fraction);
  c.lumaBias = RepeatWord<Isa>(k.lumaBias[0]);
  c.blueToU = RepeatWord<Isa>(ChromaMultiplier(k.blueToU[0]));
  c.greenToU = RepeatWord<Isa>(ChromaMultiplier(k.greenToU[0]));
  c.redToU = RepeatWord<Isa>(ChromaMultiplier(k.redToU[0]));
  c.blueToV = RepeatWord<Isa>(ChromaMultiplier(k.blueToV[0]));
  c.greenToV = RepeatWord<Isa>(ChromaMultiplier(k.greenToV[0]));
  c.redToV = RepeatWord<Isa>(ChromaMultiplier(k.blueToU[0]));  // red to V is blue to U, as in the SSE kernel
  c.chromaBias = RepeatWord<Isa>(k.chromaBias[0]);
  c.lumaOrder = Isa::Load(kLumaOrder.at);
  if constexpr (Isa::kLanes == 4)
    c.chromaOrder = Isa::Load(kChromaOrder.at);
  else
    c.chromaInterleave = Isa::RepeatLane(kInterleave.at);
  return c;
}

template <class Isa>
using Registers = typename Isa::V[kRegistersPerStep];

// One component of the even pixels and of the odd pixels, as words.
template <class Isa>
struct EvenOdd {
  typename Isa::V even;
  typename Isa::V odd;
};

template <class Isa>
struct Components {
  EvenOdd<Isa> blue, green, red;
};

template <class Isa>
PELLIX_WIDE_INLINE EvenOdd<Isa> Words(typename Isa::V plane, const PlanarConstants<Isa>& c) {
  return {Isa::And(plane, c.lowBytes), Isa::template ShiftRightWords<8>(plane)};
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

template <class Isa, int32_t kWhole>
PELLIX_WIDE_INLINE typename Isa::V LumaProduct(typename Isa::V x, typename Isa::V fraction) {
  auto product = Isa::MulHighWordsUnsigned(x, fraction);
  for (int32_t i = 0; i < kWhole; ++i) product = Isa::AddWords(product, x);
  return product;
}

// Luma sums plus the bias, one per word.
template <class Isa>
PELLIX_WIDE_INLINE typename Isa::V LumaSums(typename Isa::V b, typename Isa::V g, typename Isa::V r,
                                            const PlanarConstants<Isa>& c) {
  const auto blue = LumaProduct<Isa, kBlueToY.whole>(b, c.blueToY);
  const auto green = LumaProduct<Isa, kGreenToY.whole>(g, c.greenToY);
  const auto red = LumaProduct<Isa, kRedToY.whole>(r, c.redToY);
  return Isa::AddWords(Isa::AddWords(blue, green), Isa::AddWords(red, c.lumaBias));
}

// The row's luma bytes in pixel order: even pixels' results in the low
// bytes of the words, odd pixels' moved straight from quarter units to the
// high bytes.
template <class Isa>
PELLIX_WIDE_INLINE typename Isa::V LumaBytes(const Components<Isa>& s, const PlanarConstants<Isa>& c) {
  const auto even = LumaSums<Isa>(s.blue.even, s.green.even, s.red.even, c);
  const auto odd = LumaSums<Isa>(s.blue.odd, s.green.odd, s.red.odd, c);
  const auto bytes = Isa::MaskOr(Isa::template ShiftLeftWords<8 - kQuarterUnits>(odd), c.highBytes,
                                 Isa::template ShiftRightWords<kQuarterUnits>(even));
  return Isa::PermuteDwords(bytes, c.lumaOrder);
}

template <class Isa, int16_t k>
PELLIX_WIDE_INLINE typename Isa::V ChromaProduct(typename Isa::V pairSum, typename Isa::V multiplier) {
  if constexpr (k > 0)
    return Isa::MulHighWordsUnsigned(pairSum, multiplier);
  else
    return Isa::MulHighWords(pairSum, multiplier);
}

// The row's chroma bytes in lane order (see ChromaPlaneOrder).
template <class Isa>
PELLIX_WIDE_INLINE typename Isa::V ChromaBytes(const Components<Isa>& s, const PlanarConstants<Isa>& c) {
  constexpr RgbToYuvConstantBlock k = kRgbToYuv;
  const auto b = Isa::AddWords(s.blue.even, s.blue.odd);
  const auto g = Isa::AddWords(s.green.even, s.green.odd);
  const auto r = Isa::AddWords(s.red.even, s.red.odd);
  auto u =
      Isa::SubWords(ChromaProduct<Isa, k.blueToU[0]>(b, c.blueToU), ChromaProduct<Isa, k.greenToU[0]>(g, c.greenToU));
  auto v =
      Isa::SubWords(ChromaProduct<Isa, k.blueToV[0]>(b, c.blueToV), ChromaProduct<Isa, k.greenToV[0]>(g, c.greenToV));
  u = Isa::AddWords(Isa::AddWords(u, ChromaProduct<Isa, k.redToU[0]>(r, c.redToU)), c.chromaBias);
  v = Isa::AddWords(Isa::AddWords(v, ChromaProduct<Isa, k.blueToU[0]>(r, c.redToV)), c.chromaBias);
  return Isa::PackWordsUnsigned(Isa::template ShiftRightWordsSigned<kQuarterUnits>(u),
                                Isa::template ShiftRightWordsSigned<kQuarterUnits>(v));
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
