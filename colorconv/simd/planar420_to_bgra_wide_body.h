// The wide kernels of planar 4:2:0 to BGRA: the arithmetic of
// Planar420ToBGRA_MMX (adjustment step, 13-bit multiply-high constants, one
// rounding) on Reg::kBytes pixels per group, which give the same bytes.
// Chroma terms are computed once per pixel pair and then doubled to pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "colorconv/routines.h"
#include "colorconv/simd/adjustment_step.h"
#include "colorconv/simd/bgra_wide_store.h"
#include "colorconv/simd/row_stores.h"
#include "colorconv/simd/simd_constants.h"

namespace pellix {
namespace {

// Multiply-high of Yd * 32 by the luma gain G is floor(Yd * 32 * G / 65536),
// which is the unsigned multiply-high of Yd * 256 by G / 8; Yd * 256 comes
// from unpacking a byte into the high half of a word, for free.
static_assert(YuvToRgbConstants.lumaGain[0] % 8 == 0, "the luma gain must divide by 8");

template <class Reg>
struct PlanarBgraConstants {
  using V = typename Reg::V;
  static constexpr const YuvToRgbConstantBlock& k = YuvToRgbConstants;
  V blackLevel = Reg::Bytes(k.blackLevel[0]);
  V lumaGainEighth = Reg::Words(static_cast<int16_t>(k.lumaGain[0] / 8));
  V chromaCentre = Reg::Words(k.chromaCentre[0]);
  V vToRed = Reg::Words(k.vToRed[0]);
  V uToGreen = Reg::Words(k.uToGreen[0]);
  V vToGreen = Reg::Words(k.vToGreen[0]);
  V uToBlue = Reg::Words(k.uToBlue[0]);
  V quarterRounded = Reg::Words(1 << 13);
};

// The adjustment step on luma bytes.
template <class Reg>
typename Reg::V AdjustLumaBytes(typename Reg::V bytes, const AdjustmentRegisters<Reg>& a) {
  return AdjustBytes<Reg>(bytes, a.lumaGain, a.lumaOffset);
}

// The same step for chroma samples already widened to words (no offset):
// the signed pack becomes a clamp to -128..127 before 128 is added back.
template <class Reg>
typename Reg::V AdjustChromaWords(typename Reg::V words, const AdjustmentRegisters<Reg>& a) {
  using V = typename Reg::V;
  const V centre = Reg::Words(128);
  const V scaled = Reg::MulHighWords(Reg::template ShiftLeftWords<8>(Reg::SubWords(words, centre)), a.chromaGain);
  return Reg::AddWords(Reg::MinWords(Reg::MaxWords(scaled, Reg::Words(-128)), Reg::Words(127)), centre);
}

// (Yt + chroma term + 2) >> 2, the MMX routine's rounding, as one rounding
// multiply-high by 2^13: floor((sum * 2^13 + 2^14) / 2^15). No sum comes
// near the saturation of the MMX routine's adds: |Yt| <= 1117, |term| <= 1037.
static_assert(YuvToRgbConstants.rounding[0] == 2, "rounding is one half in quarter units");

template <class Reg>
typename Reg::V Channel(typename Reg::V lumaTerm, typename Reg::V chromaTerm, const PlanarBgraConstants<Reg>& k) {
  return Reg::MulHighRoundedWords(Reg::AddWordsSaturated(lumaTerm, chromaTerm), k.quarterRounded);
}

template <class Reg, bool kAdjust, bool kStream>
void Planar420ToBgraGroups(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                           const AdjustmentRegisters<Reg>& a) {
  using V = typename Reg::V;
  const PlanarBgraConstants<Reg> k;
  for (ptrdiff_t x = 0; x < pixels; x += Reg::kBytes) {
    V luma = Reg::Load(y + x);
    V uWords = Reg::LoadWidened(u + x / 2);
    V vWords = Reg::LoadWidened(v + x / 2);
    if (kAdjust) {
      luma = AdjustLumaBytes(luma, a);
      uWords = AdjustChromaWords(uWords, a);
      vWords = AdjustChromaWords(vWords, a);
    }
    const V yd = Reg::SubBytesUnsignedSaturated(Reg::DealDwords(luma), k.blackLevel);
    const V ytLo = Reg::MulHighWordsUnsigned(Reg::InterleaveLowBytes(Reg::Zero(), yd), k.lumaGainEighth);
    const V ytHi = Reg::MulHighWordsUnsigned(Reg::InterleaveHighBytes(Reg::Zero(), yd), k.lumaGainEighth);
    const V cu = Reg::template ShiftLeftWords<5>(Reg::SubWords(Reg::DealDwords(uWords), k.chromaCentre));
    const V cv = Reg::template ShiftLeftWords<5>(Reg::SubWords(Reg::DealDwords(vWords), k.chromaCentre));
    const V blue = Reg::MulHighWords(cu, k.uToBlue);
    const V green = Reg::AddWordsSaturated(Reg::MulHighWords(cu, k.uToGreen), Reg::MulHighWords(cv, k.vToGreen));
    const V red = Reg::MulHighWords(cv, k.vToRed);
    StoreBgraGroup<Reg, kStream>(d + 4 * x, Channel<Reg>(ytLo, Reg::InterleaveLowWords(blue, blue), k),
                                 Channel<Reg>(ytHi, Reg::InterleaveHighWords(blue, blue), k),
                                 Channel<Reg>(ytLo, Reg::InterleaveLowWords(green, green), k),
                                 Channel<Reg>(ytHi, Reg::InterleaveHighWords(green, green), k),
                                 Channel<Reg>(ytLo, Reg::InterleaveLowWords(red, red), k),
                                 Channel<Reg>(ytHi, Reg::InterleaveHighWords(red, red), k));
  }
}

// A whole number of groups of Reg::kBytes pixels. Gains of 256 with offset 0
// leave every sample as it is, whatever the record's flag says, so such a
// record skips the step.
template <class Reg>
void Planar420ToBgraRow(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                        const ColorAdjustment& adjust, bool stream) {
  const AdjustmentRegisters<Reg> a(adjust);
  const bool unity =
      adjust.lumaGainPacked[0] == 256 && adjust.chromaGainPacked[0] == 256 && adjust.lumaOffsetPacked[0] == 0;
  WithRowStores<Reg>(d, stream, [&](auto stores) {
    constexpr bool kStream = decltype(stores)::kStreaming;
    if (unity)
      Planar420ToBgraGroups<Reg, false, kStream>(y, u, v, d, pixels, a);
    else
      Planar420ToBgraGroups<Reg, true, kStream>(y, u, v, d, pixels, a);
  });
}

}  // namespace
}  // namespace pellix
