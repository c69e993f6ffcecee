// BGRA to YUY2 and UYVY in wide registers, byte for byte the plain routines
// (colorconv/plain/bgra_to_packed.cpp): luma of every pixel, U and V of each
// pixel pair's rounded average, each a sum of three table entries shifted by
// 16, with the tables replaced by their integer forms
// (rgb_to_yuv_table_forms.h).
//
// Every 32-bit lane computes one sample: a register of pixels gives the luma
// of each pixel, and the same register with each pair replaced by its
// average (in both of the pair's lanes) gives U in the first lane of the
// pair and V in the second. Both sums stay below 2^24, so each sample is
// byte 2 of its lane, and one pixel's luma and the chroma of its lane make
// the 16-bit half of the pair's macropixel that the pixel owns.
#pragma once

#include <cstdint>

#include "colorconv/simd/rgb_to_yuv_table_forms.h"
#include "colorconv/simd/wide_vectors.h"

namespace pellix {
namespace {

// The lane sum constants of rgb_to_yuv_table_forms.h in registers: `even`
// for the first lane of each pixel pair, `odd` for the second.
template <class Isa>
struct LaneSumConstants {
  using V = typename Isa::V;
  V blueRedWhole, greenWhole, blueRedFraction, greenFraction, correctionSign, offset;
};

constexpr uint32_t WordPair(int32_t low, int32_t high) {
  return static_cast<uint16_t>(low) | static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16;
}

template <class Isa>
typename Isa::V RepeatLanePair(uint32_t even, uint32_t odd) {
  return Isa::Repeat64(static_cast<int64_t>(uint64_t{odd} << 32 | even));
}

template <class Isa>
LaneSumConstants<Isa> LoadLaneSums(const LaneWords& even, const LaneWords& odd) {
  const auto pair = [](const auto& e, const auto& o) {
    return RepeatLanePair<Isa>(WordPair(e[0], e[1]), WordPair(o[0], o[1]));
  };
  return {pair(even.blueRedWhole, odd.blueRedWhole),
          pair(even.greenWhole, odd.greenWhole),
          pair(even.blueRedFraction, odd.blueRedFraction),
          pair(even.greenFraction, odd.greenFraction),
          pair(even.correctionSign, odd.correctionSign),
          RepeatLanePair<Isa>(static_cast<uint32_t>(even.offset), static_cast<uint32_t>(odd.offset))};
}

template <class Isa>
struct PackedConstants {
  using V = typename Isa::V;
  LaneSumConstants<Isa> luma;
  LaneSumConstants<Isa> chroma;  // U in even lanes, V in odd lanes
  V blueRed;                     // bytes 0 and 2 of each pixel: words (B, R)
  V greenTwice;                  // shuffle giving words (G, G)
  V byte1;                       // byte 1 of each lane
};

constexpr uint8_t kGreenTwice[16] = {1, 0x80, 1, 0x80, 5, 0x80, 5, 0x80, 9, 0x80, 9, 0x80, 13, 0x80, 13, 0x80};

template <class Isa>
PackedConstants<Isa> LoadPackedConstants() {
  return {LoadLaneSums<Isa>(kLumaWords, kLumaWords), LoadLaneSums<Isa>(kUWords, kVWords), Isa::Repeat32(0x00FF00FF),
          Isa::RepeatLane(kGreenTwice), Isa::Repeat32(0x0000FF00)};
}

// The lane sums of a register of pixels: all in 32 bits, exact.
template <class Isa>
PELLIX_WIDE_INLINE typename Isa::V LaneSums(typename Isa::V pixels, const LaneSumConstants<Isa>& k,
                                            const PackedConstants<Isa>& c) {
  const auto blueRed = Isa::And(pixels, c.blueRed);
  const auto green = Isa::ShuffleBytes(pixels, c.greenTwice);
  const auto whole = Isa::AddDwords(Isa::MulAddWords(blueRed, k.blueRedWhole), Isa::MulAddWords(green, k.greenWhole));
  const auto corrections =
      Isa::AddWords(Isa::MulHighUnsigned(blueRed, k.blueRedFraction), Isa::MulHighUnsigned(green, k.greenFraction));
  return Isa::AddDwords(Isa::AddDwords(whole, Isa::MulAddWords(corrections, k.correctionSign)), k.offset);
}

// One register of pixels as one 16-bit half-macropixel per lane: for each
// pixel its luma and its lane's chroma, in the order of the format.
template <class Isa, bool kLumaFirst>
PELLIX_WIDE_INLINE typename Isa::V HalfMacropixels(typename Isa::V pixels, const PackedConstants<Isa>& c) {
  const auto averaged = Isa::AverageBytes(pixels, Isa::SwapDwordPairs(pixels));  // (a + b + 1) >> 1
  const auto luma = LaneSums<Isa>(pixels, c.luma, c);
  const auto chroma = LaneSums<Isa>(averaged, c.chroma, c);
  const auto& first = kLumaFirst ? luma : chroma;
  const auto& second = kLumaFirst ? chroma : luma;
  return Isa::MaskOr(Isa::template ShiftRightDwords<8>(second), c.byte1, Isa::template ShiftRightDwords<16>(first));
}

// Two registers of half-macropixels as one register of output bytes in
// pixel order: the word pack works per 128-bit lane, so its halves are put
// back in order.
template <class Isa>
PELLIX_WIDE_INLINE typename Isa::V InPixelOrder(typename Isa::V packed) {
  if constexpr (Isa::kLanes == 2) {
    return Isa::GatherLaneHalves(packed);
  } else {
    static constexpr int64_t kOrder[8] = {0, 2, 4, 6, 1, 3, 5, 7};
    return Isa::PermuteQwords(packed, Isa::FromQwords(kOrder));
  }
}

// Pixels converted per step: two registers of BGRA, one of output.
template <class Isa>
constexpr int32_t kPackedStepPixels = Isa::kBytes / 2;

template <class Isa, bool kLumaFirst, bool kStreaming>
void BgraToPackedSteps(const uint8_t* src, uint8_t* dst, int32_t steps, const PackedConstants<Isa>& c) {
  for (int32_t s = 0; s < steps; ++s) {
    const auto a = HalfMacropixels<Isa, kLumaFirst>(Isa::Load(src), c);
    const auto b = HalfMacropixels<Isa, kLumaFirst>(Isa::Load(src + Isa::kBytes), c);
    const auto out = InPixelOrder<Isa>(Isa::PackDwordsUnsigned(a, b));
    if constexpr (kStreaming)
      Isa::StoreStreaming(dst, out);
    else
      Isa::Store(dst, out);
    src += 2 * Isa::kBytes;
    dst += Isa::kBytes;
  }
}

// The whole steps of a row; returns the pixels converted. Streaming stores
// need an aligned destination; they are fenced before returning.
template <class Isa, bool kLumaFirst>
int32_t BgraToPackedRow(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  const int32_t steps = pixels / kPackedStepPixels<Isa>;
  const PackedConstants<Isa> c = LoadPackedConstants<Isa>();
  if (stream && reinterpret_cast<uintptr_t>(dst) % Isa::kBytes == 0) {
    BgraToPackedSteps<Isa, kLumaFirst, true>(src, dst, steps, c);
    _mm_sfence();
  } else {
    BgraToPackedSteps<Isa, kLumaFirst, false>(src, dst, steps, c);
  }
  return steps * kPackedStepPixels<Isa>;
}

}  // namespace
}  // namespace pellix
