// BGRA to planar 4:2:0 in wide registers, byte for byte the SSE kernel
// (bgra_to_planar420_body64.h with bgra_to_planar420_sse.cpp) and with its
// constants (RgbToYuvConstants):
// - luma of each pixel from B, G and R times 8, each multiply-high product
//   floored on its own, plus the luma bias, shifted right by 2;
// - U and V of each horizontal pair of each row from the pair sums times 4,
//   plus the chroma bias, shifted right by 2 (arithmetic);
// - each row's chroma packed to bytes with unsigned saturation, the two
//   rows combined by the rounding byte average (a + b + 1) >> 1.
// The SSE kernel adds the luma products with saturation and the chroma
// products in wrapping words; neither limit is ever reached (luma sums stay
// below 1004, chroma sums within +-446 before the bias), so the exact sums
// of word multiply-adds are the same values.
//
// A step is four registers of each of the two rows. Byte shuffles and packs
// work per 128-bit lane, so luma and chroma leave them in lane order and a
// permute per step puts them back in pixel order.
#pragma once

#include <cstdint>

#include "colorconv/simd/simd_constants.h"
#include "colorconv/simd/wide_vectors.h"

namespace pellix {
namespace {

// The SSE kernel shifts B, G and R left by 3 before the luma products, and
// halves the pair sums of those, so the chroma products see 4 * (c0 + c1).
constexpr int8_t kComponentScale = 8;
constexpr int8_t kPairSumScale = kComponentScale / 2;

constexpr int kRegistersPerStep = 4;

template <int kLanes>
struct DwordOrder {
  int32_t at[kRegistersPerStep * kLanes];
};

// After two dword packs and a word pack of registers 0-3, lane k holds four
// pixels of each register in turn; dword m * kLanes + k of the row is dword
// 4k + m of the packed register.
template <int kLanes>
constexpr DwordOrder<kLanes> LumaOrder() {
  DwordOrder<kLanes> order{};
  for (int m = 0; m < kRegistersPerStep; ++m)
    for (int k = 0; k < kLanes; ++k) order.at[m * kLanes + k] = 4 * k + m;
  return order;
}

struct WordOrder {
  int16_t at[32];
};

// The chroma bytes of a row leave lane k of register m as the word of U of
// the lane's two pairs, then the word of V: words 8k + 2m and 8k + 2m + 1.
// For the 4-lane register: U words to the low half, V words to the high.
constexpr WordOrder ChromaPlaneOrder() {
  constexpr int kLanes = 4;
  WordOrder order{};
  for (int m = 0; m < kRegistersPerStep; ++m) {
    for (int k = 0; k < kLanes; ++k) {
      order.at[m * kLanes + k] = static_cast<int16_t>(8 * k + 2 * m);
      order.at[16 + m * kLanes + k] = static_cast<int16_t>(8 * k + 2 * m + 1);
    }
  }
  return order;
}

struct ByteShuffle {
  uint8_t at[16];
};

// For the 2-lane register, in three moves: within each lane, the U words
// to the low half and the V words to the high half; the lanes' U halves
// into lane 0 and V halves into lane 1; within each lane, the words of the
// two source lanes interleaved.
constexpr ByteShuffle ChromaPlaneGroups() {
  ByteShuffle s{};
  for (int m = 0; m < kRegistersPerStep; ++m) {
    for (int e = 0; e < 2; ++e) {
      s.at[2 * m + e] = static_cast<uint8_t>(4 * m + e);
      s.at[8 + 2 * m + e] = static_cast<uint8_t>(4 * m + 2 + e);
    }
  }
  return s;
}

constexpr ByteShuffle ChromaPlaneInterleave() {
  ByteShuffle s{};
  for (int m = 0; m < kRegistersPerStep; ++m)
    for (int k = 0; k < 2; ++k)
      for (int e = 0; e < 2; ++e) s.at[2 * (2 * m + k) + e] = static_cast<uint8_t>(2 * (4 * k + m) + e);
  return s;
}

// Within each lane, the two pixel pairs' bytes regrouped so that a byte
// multiply-add gives the words 4 * (B0 + B1), 4 * (G0 + G1), 4 * (R0 + R1), 0.
constexpr uint8_t kPairGather[16] = {0, 4, 1, 5, 2, 6, 0x80, 0x80, 8, 12, 9, 13, 10, 14, 0x80, 0x80};

constexpr uint32_t BytePattern(int8_t b0, int8_t b1, int8_t b2, int8_t b3) {
  return static_cast<uint8_t>(b0) | static_cast<uint32_t>(static_cast<uint8_t>(b1)) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(b2)) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(b3)) << 24;
}

constexpr uint32_t Words2(int16_t w0, int16_t w1) {
  return static_cast<uint16_t>(w0) | static_cast<uint32_t>(static_cast<uint16_t>(w1)) << 16;
}

constexpr int64_t Words4(int16_t w0, int16_t w1, int16_t w2, int16_t w3) {
  return static_cast<int64_t>(uint64_t{Words2(w2, w3)} << 32 | Words2(w0, w1));
}

template <class Isa>
struct PlanarConstants {
  using V = typename Isa::V;
  V blueRedScaled;  // byte weights giving words (8B, 8R)
  V greenScaled;    // byte weights giving words (8G, 0)
  V blueRedToY;
  V greenToY;
  V wordOnes;
  V lumaBias;
  V pairGather;
  V pairSumScale;
  V toU;          // B, G, R, 0 of a pair
  V toV;
  V chromaSigns;  // U and V add the B and R products and subtract the G product
  V chromaBias;
  V lumaOrder;
  V chromaOrder;       // 4 lanes: word permute
  V chromaGroups;      // 2 lanes: first shuffle
  V chromaInterleave;  // 2 lanes: last shuffle
};

template <class Isa>
PlanarConstants<Isa> LoadPlanarConstants() {
  const RgbToYuvConstantBlock& k = RgbToYuvConstants;
  static constexpr DwordOrder<Isa::kLanes> kLumaOrder = LumaOrder<Isa::kLanes>();
  static constexpr WordOrder kChromaOrder = ChromaPlaneOrder();
  static constexpr ByteShuffle kGroups = ChromaPlaneGroups();
  static constexpr ByteShuffle kInterleave = ChromaPlaneInterleave();
  PlanarConstants<Isa> c{};
  c.blueRedScaled = Isa::Repeat32(static_cast<int32_t>(BytePattern(kComponentScale, 0, kComponentScale, 0)));
  c.greenScaled = Isa::Repeat32(static_cast<int32_t>(BytePattern(0, kComponentScale, 0, 0)));
  c.blueRedToY = Isa::Repeat32(static_cast<int32_t>(Words2(k.blueToY[0], k.redToY[0])));
  c.greenToY = Isa::Repeat32(static_cast<int32_t>(Words2(k.greenToY[0], 0)));
  c.wordOnes = Isa::Repeat32(static_cast<int32_t>(Words2(1, 1)));
  c.lumaBias = Isa::Repeat32(static_cast<int32_t>(Words2(k.lumaBias[0], k.lumaBias[0])));
  c.pairGather = Isa::RepeatLane(kPairGather);
  c.pairSumScale = Isa::Repeat64(static_cast<int64_t>(
      uint64_t{BytePattern(kPairSumScale, kPairSumScale, 0, 0)} << 32 |
      BytePattern(kPairSumScale, kPairSumScale, kPairSumScale, kPairSumScale)));
  c.toU = Isa::Repeat64(Words4(k.blueToU[0], k.greenToU[0], k.redToU[0], 0));
  c.toV = Isa::Repeat64(Words4(k.blueToV[0], k.greenToV[0], k.blueToU[0], 0));
  c.chromaSigns = Isa::Repeat64(Words4(1, -1, 1, 0));
  c.chromaBias = Isa::Repeat32(static_cast<int32_t>(Words2(k.chromaBias[0], k.chromaBias[0])));
  c.lumaOrder = Isa::FromDwords(kLumaOrder.at);
  if constexpr (Isa::kLanes == 4) {
    c.chromaOrder = Isa::FromWords(kChromaOrder.at);
  } else {
    c.chromaGroups = Isa::RepeatLane(kGroups.at);
    c.chromaInterleave = Isa::RepeatLane(kInterleave.at);
  }
  return c;
}

template <class Isa>
using Registers = typename Isa::V[kRegistersPerStep];

// The luma sum of each pixel before the bias, one per 32-bit lane.
template <class Isa>
typename Isa::V LumaSums(typename Isa::V pixels, const PlanarConstants<Isa>& c) {
  const auto blueRed = Isa::MulAddBytes(pixels, c.blueRedScaled);
  const auto green = Isa::MulAddBytes(pixels, c.greenScaled);
  const auto products = Isa::AddWords(Isa::MulHigh(blueRed, c.blueRedToY), Isa::MulHigh(green, c.greenToY));
  return Isa::MulAddWords(products, c.wordOnes);
}

template <class Isa>
typename Isa::V LumaBytes(const Registers<Isa>& px, const PlanarConstants<Isa>& c) {
  auto low = Isa::PackDwordsSigned(LumaSums<Isa>(px[0], c), LumaSums<Isa>(px[1], c));
  auto high = Isa::PackDwordsSigned(LumaSums<Isa>(px[2], c), LumaSums<Isa>(px[3], c));
  low = Isa::template ShiftRightWords<2>(Isa::AddWords(low, c.lumaBias));
  high = Isa::template ShiftRightWords<2>(Isa::AddWords(high, c.lumaBias));
  return Isa::PermuteDwords(Isa::PackWordsUnsigned(low, high), c.lumaOrder);
}

// U and V of each horizontal pair before the bias: per 128-bit lane, U of
// its two pairs, then V of them.
template <class Isa>
typename Isa::V PairChroma(typename Isa::V pixels, const PlanarConstants<Isa>& c) {
  const auto sums = Isa::MulAddBytes(Isa::ShuffleBytes(pixels, c.pairGather), c.pairSumScale);
  const auto u = Isa::MulAddWords(Isa::MulHigh(sums, c.toU), c.chromaSigns);  // (B - G, R) products
  const auto v = Isa::MulAddWords(Isa::MulHigh(sums, c.toV), c.chromaSigns);
  return Isa::MulAddWords(Isa::PackDwordsSigned(u, v), c.wordOnes);
}

template <class Isa>
typename Isa::V ChromaBytes(const Registers<Isa>& px, const PlanarConstants<Isa>& c) {
  auto low = Isa::PackDwordsSigned(PairChroma<Isa>(px[0], c), PairChroma<Isa>(px[1], c));
  auto high = Isa::PackDwordsSigned(PairChroma<Isa>(px[2], c), PairChroma<Isa>(px[3], c));
  low = Isa::template ShiftRightWordsSigned<2>(Isa::AddWords(low, c.chromaBias));
  high = Isa::template ShiftRightWordsSigned<2>(Isa::AddWords(high, c.chromaBias));
  return Isa::PackWordsUnsigned(low, high);
}

// The combined chroma bytes of a step in plane order: U in the low half of
// the register, V in the high half.
template <class Isa>
typename Isa::V ChromaPlanes(typename Isa::V combined, const PlanarConstants<Isa>& c) {
  if constexpr (Isa::kLanes == 4) {
    return Isa::PermuteWords(combined, c.chromaOrder);
  } else {
    const auto grouped = Isa::GatherLaneHalves(Isa::ShuffleBytes(combined, c.chromaGroups));
    return Isa::ShuffleBytes(grouped, c.chromaInterleave);
  }
}

// Pixels per step: four registers of BGRA.
template <class Isa>
constexpr int32_t kPlanarStepPixels = kRegistersPerStep * Isa::kBytes / 4;

template <class Isa>
void LoadStep(const uint8_t* src, Registers<Isa>& px) {
  for (int m = 0; m < kRegistersPerStep; ++m) px[m] = Isa::Load(src + m * Isa::kBytes);
}

// The whole steps of a row pair; returns the pixels converted.
template <class Isa>
int32_t BgraToPlanarPairRows(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                             uint8_t* v, int32_t pixels) {
  const PlanarConstants<Isa> c = LoadPlanarConstants<Isa>();
  int32_t x = 0;
  for (; x + kPlanarStepPixels<Isa> <= pixels; x += kPlanarStepPixels<Isa>) {
    Registers<Isa> first, second;
    LoadStep<Isa>(src0 + 4 * x, first);
    LoadStep<Isa>(src1 + 4 * x, second);
    Isa::Store(y0 + x, LumaBytes<Isa>(first, c));
    Isa::Store(y1 + x, LumaBytes<Isa>(second, c));
    const auto planes = ChromaPlanes<Isa>(Isa::AverageBytes(ChromaBytes<Isa>(first, c), ChromaBytes<Isa>(second, c)), c);
    Isa::StoreLowHalf(u + x / 2, planes);
    Isa::StoreHighHalf(v + x / 2, planes);
  }
  return x;
}

template <class Isa>
int32_t BgraToPlanarLumaRow(const uint8_t* src, uint8_t* y, int32_t pixels) {
  const PlanarConstants<Isa> c = LoadPlanarConstants<Isa>();
  int32_t x = 0;
  for (; x + kPlanarStepPixels<Isa> <= pixels; x += kPlanarStepPixels<Isa>) {
    Registers<Isa> px;
    LoadStep<Isa>(src + 4 * x, px);
    Isa::Store(y + x, LumaBytes<Isa>(px, c));
  }
  return x;
}

}  // namespace
}  // namespace pellix
