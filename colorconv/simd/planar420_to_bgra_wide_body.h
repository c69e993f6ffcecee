// The wide kernels of planar 4:2:0 to BGRA: the arithmetic of
// Planar420ToBGRA_MMX (adjustment step, 13-bit multiply-high constants, one
// rounding) on Isa::kBytes pixels per group, which give the same bytes.
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

template <class Isa>
struct PlanarBgraConstants {
  using V = typename Isa::V;
  static constexpr const YuvToRgbConstantBlock& k = YuvToRgbConstants;
  V blackLevel = Isa::Bytes(k.blackLevel[0]);
  V lumaGainEighth = Isa::Words(static_cast<int16_t>(k.lumaGain[0] / 8));
  V chromaCentre = Isa::Words(k.chromaCentre[0]);
  V vToRed = Isa::Words(k.vToRed[0]);
  V uToGreen = Isa::Words(k.uToGreen[0]);
  V vToGreen = Isa::Words(k.vToGreen[0]);
  V uToBlue = Isa::Words(k.uToBlue[0]);
  V quarterRounded = Isa::Words(1 << 13);
};

// The adjustment step on luma bytes.
template <class Isa>
typename Isa::V AdjustLumaBytes(typename Isa::V bytes, const AdjustmentRegisters<Isa>& a) {
  return AdjustBytes<Isa>(bytes, a.lumaGain, a.lumaOffset);
}

// The same step for chroma samples already widened to words (no offset):
// the signed pack becomes a clamp to -128..127 before 128 is added back.
template <class Isa>
typename Isa::V AdjustChromaWords(typename Isa::V words, const AdjustmentRegisters<Isa>& a) {
  using V = typename Isa::V;
  const V centre = Isa::Words(128);
  const V scaled = Isa::MulHighWords(Isa::template ShiftLeftWords<8>(Isa::SubWords(words, centre)), a.chromaGain);
  return Isa::AddWords(Isa::MinWords(Isa::MaxWords(scaled, Isa::Words(-128)), Isa::Words(127)), centre);
}

// (Yt + chroma term + 2) >> 2, the MMX routine's rounding, as one rounding
// multiply-high by 2^13: floor((sum * 2^13 + 2^14) / 2^15). No sum comes
// near the saturation of the MMX routine's adds: |Yt| <= 1117, |term| <= 1037.
static_assert(YuvToRgbConstants.rounding[0] == 2, "rounding is one half in quarter units");

template <class Isa>
typename Isa::V Channel(typename Isa::V lumaTerm, typename Isa::V chromaTerm, const PlanarBgraConstants<Isa>& k) {
  return Isa::MulHighRoundedWords(Isa::AddWordsSaturated(lumaTerm, chromaTerm), k.quarterRounded);
}

template <class Isa, bool kAdjust, bool kStream>
void Planar420ToBgraGroups(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                           const AdjustmentRegisters<Isa>& a) {
  using V = typename Isa::V;
  const PlanarBgraConstants<Isa> k;
  for (ptrdiff_t x = 0; x < pixels; x += Isa::kBytes) {
    V luma = Isa::Load(y + x);
    V uWords = Isa::LoadWidened(u + x / 2);
    V vWords = Isa::LoadWidened(v + x / 2);
    if (kAdjust) {
      luma = AdjustLumaBytes(luma, a);
      uWords = AdjustChromaWords(uWords, a);
      vWords = AdjustChromaWords(vWords, a);
    }
    const V yd = Isa::SubBytesUnsignedSaturated(Isa::DealDwords(luma), k.blackLevel);
    const V ytLo = Isa::MulHighWordsUnsigned(Isa::InterleaveLowBytes(Isa::Zero(), yd), k.lumaGainEighth);
    const V ytHi = Isa::MulHighWordsUnsigned(Isa::InterleaveHighBytes(Isa::Zero(), yd), k.lumaGainEighth);
    const V cu = Isa::template ShiftLeftWords<5>(Isa::SubWords(Isa::DealDwords(uWords), k.chromaCentre));
    const V cv = Isa::template ShiftLeftWords<5>(Isa::SubWords(Isa::DealDwords(vWords), k.chromaCentre));
    const V blue = Isa::MulHighWords(cu, k.uToBlue);
    const V green = Isa::AddWordsSaturated(Isa::MulHighWords(cu, k.uToGreen), Isa::MulHighWords(cv, k.vToGreen));
    const V red = Isa::MulHighWords(cv, k.vToRed);
    StoreBgraGroup<Isa, kStream>(d + 4 * x, Channel<Isa>(ytLo, Isa::InterleaveLowWords(blue, blue), k),
                                 Channel<Isa>(ytHi, Isa::InterleaveHighWords(blue, blue), k),
                                 Channel<Isa>(ytLo, Isa::InterleaveLowWords(green, green), k),
                                 Channel<Isa>(ytHi, Isa::InterleaveHighWords(green, green), k),
                                 Channel<Isa>(ytLo, Isa::InterleaveLowWords(red, red), k),
                                 Channel<Isa>(ytHi, Isa::InterleaveHighWords(red, red), k));
  }
}

// A whole number of groups of Isa::kBytes pixels. Gains of 256 with offset 0
// leave every sample as it is, whatever the record's flag says, so such a
// record skips the step.
template <class Isa>
void Planar420ToBgraRow(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                        const ColorAdjustment& adjust, bool stream) {
  const AdjustmentRegisters<Isa> a(adjust);
  const bool unity =
      adjust.lumaGainPacked[0] == 256 && adjust.chromaGainPacked[0] == 256 && adjust.lumaOffsetPacked[0] == 0;
  WithRowStores<Isa>(d, stream, [&](auto stores) {
    constexpr bool kStream = decltype(stores)::kStreaming;
    if (unity)
      Planar420ToBgraGroups<Isa, false, kStream>(y, u, v, d, pixels, a);
    else
      Planar420ToBgraGroups<Isa, true, kStream>(y, u, v, d, pixels, a);
  });
}

}  // namespace
}  // namespace pellix
