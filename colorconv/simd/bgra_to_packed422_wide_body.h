// BGRA to YUY2 and UYVY in wide registers, byte for byte the plain routines
// (colorconv/plain/bgra_to_packed.cpp): luma of every pixel, U and V of each
// pixel pair's rounded average, each a sum of three table entries shifted by
// 16, with the tables replaced by their integer forms
// (rgb_to_yuv_table_forms.h): a word multiply-add for the whole parts, an
// unsigned multiply-high for the fractions.
//
// Every 32-bit lane computes one sample: a register of pixels gives the luma
// of each pixel, and the same register with each pair replaced by its
// average (in both of the pair's lanes) gives U in the first lane of the
// pair and V in the second. The sums stay below 2^24, so each sample is
// byte 2 of its lane; a pixel's luma and its lane's chroma make the 16-bit
// half of the pair's macropixel that the pixel owns.
#pragma once

#include <cstdint>

#include "colorconv/simd/rgb_to_yuv_table_forms.h"
#include "colorconv/simd/row_stores.h"
#include "formats/packed422_order.h"

namespace pellix {
namespace {

// Each lane reads its pixel as the words (B, R), by a mask, and (G, G), by
// a byte shuffle.
constexpr int32_t kWordMax = 32767;

constexpr bool FitsWord(int32_t x) { return x >= -kWordMax && x <= kWordMax; }

constexpr int32_t Signed(const TableForm& f) { return f.sign * f.whole; }

constexpr bool SignsAgree(const TableForm& a, const TableForm& b) {
  return a.fraction == 0 || b.fraction == 0 || a.sign == b.sign;
}

// Luma lanes, whose G term does not fit a word:
//   madd((B, R), blueRedWhole) + madd((G, G), greenWhole)
//   + madd(mulhu((B, R), blueRedFraction) + mulhu((G, G), greenFraction), correctionSign) + offset,
// G's whole part split over its two words, G's fraction sharing the low word
// with B's.
struct SplitGreenLane {
  int16_t blueRedWhole[2];
  int16_t greenWhole[2];
  uint16_t blueRedFraction[2];
  uint16_t greenFraction[2];
  int16_t correctionSign[2];
  int32_t offset;
};

constexpr int32_t GreenLowWord(const LaneSum& s) {
  const int32_t g = Signed(s.green);
  return g > kWordMax ? kWordMax : (g < -kWordMax ? -kWordMax : g);
}

constexpr bool HasSplitGreenLane(const LaneSum& s) {
  return FitsWord(Signed(s.blue)) && FitsWord(Signed(s.red)) && FitsWord(Signed(s.green) - GreenLowWord(s)) &&
         SignsAgree(s.blue, s.green);
}

constexpr SplitGreenLane SplitGreenLaneOf(const LaneSum& s) {
  const int32_t lowSign = s.green.fraction != 0 ? s.green.sign : s.blue.sign;
  return {{static_cast<int16_t>(Signed(s.blue)), static_cast<int16_t>(Signed(s.red))},
          {static_cast<int16_t>(GreenLowWord(s)), static_cast<int16_t>(Signed(s.green) - GreenLowWord(s))},
          {s.blue.fraction, s.red.fraction},
          {s.green.fraction, 0},
          {static_cast<int16_t>(lowSign), static_cast<int16_t>(s.red.sign)},
          s.offset};
}

// Chroma lanes, whose G term fits a word and where one of B and R is exact
// (no fraction): the fractions of the other and of G add up in the word of
// (B, R) that holds the other, and replace that word of (G, G):
//   madd((B, R), blueRedWhole) + madd(blend((G, G), corrections), greenCorrectionWeights) + offset.
struct SharedWordLane {
  int16_t blueRedWhole[2];
  uint16_t blueRedFraction[2];
  uint16_t greenFraction[2];
  int16_t greenCorrectionWeights[2];
  int correctionWord;  // 0: low, 1: high
  int32_t offset;
};

constexpr int CorrectionWord(const LaneSum& s) { return s.blue.fraction == 0 ? 1 : 0; }

constexpr bool HasSharedWordLane(const LaneSum& s) {
  const TableForm& other = CorrectionWord(s) == 1 ? s.red : s.blue;
  const TableForm& exact = CorrectionWord(s) == 1 ? s.blue : s.red;
  return FitsWord(Signed(s.blue)) && FitsWord(Signed(s.red)) && FitsWord(Signed(s.green)) && exact.fraction == 0 &&
         SignsAgree(other, s.green);
}

constexpr SharedWordLane SharedWordLaneOf(const LaneSum& s) {
  const int word = CorrectionWord(s);
  const TableForm& other = word == 1 ? s.red : s.blue;
  const int16_t sign = static_cast<int16_t>(other.fraction != 0 ? other.sign : s.green.sign);
  const int16_t green = static_cast<int16_t>(Signed(s.green));
  SharedWordLane lane{{static_cast<int16_t>(Signed(s.blue)), static_cast<int16_t>(Signed(s.red))},
                      {s.blue.fraction, s.red.fraction},
                      {0, 0},
                      {green, green},
                      word,
                      s.offset};
  lane.greenFraction[word] = s.green.fraction;
  lane.greenCorrectionWeights[word] = sign;
  return lane;
}

static_assert(HasSplitGreenLane(kLumaSum), "luma does not fit the word constants of the wide kernels");
static_assert(HasSharedWordLane(kUSum) && HasSharedWordLane(kVSum),
              "chroma does not fit the word constants of the wide kernels");

constexpr SplitGreenLane kLumaLane = SplitGreenLaneOf(kLumaSum);
constexpr SharedWordLane kULane = SharedWordLaneOf(kUSum);
constexpr SharedWordLane kVLane = SharedWordLaneOf(kVSum);
// Words of each qword (a pixel pair: U lane, V lane) that hold corrections.
constexpr int kChromaCorrectionWords = 1 << kULane.correctionWord | 1 << (2 + kVLane.correctionWord);

constexpr uint32_t WordPair(int32_t low, int32_t high) {
  return static_cast<uint16_t>(low) | static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16;
}

template <class Reg, class Pair>
typename Reg::V Lanes(const Pair& even, const Pair& odd) {
  return Reg::Qwords(static_cast<int64_t>(uint64_t{WordPair(odd[0], odd[1])} << 32 | WordPair(even[0], even[1])));
}

template <class Reg>
typename Reg::V Lanes(int32_t even, int32_t odd) {
  return Reg::Qwords(static_cast<int64_t>(uint64_t{static_cast<uint32_t>(odd)} << 32 | static_cast<uint32_t>(even)));
}

constexpr uint8_t kGreenTwice[16] = {1, 0x80, 1, 0x80, 5, 0x80, 5, 0x80, 9, 0x80, 9, 0x80, 13, 0x80, 13, 0x80};

template <class Reg>
struct PackedConstants {
  using V = typename Reg::V;
  V blueRed;     // bytes 0 and 2 of each pixel: words (B, R)
  V greenTwice;  // shuffle giving words (G, G)
  V lumaBlueRedWhole, lumaGreenWhole, lumaBlueRedFraction, lumaGreenFraction, lumaCorrectionSign, lumaOffset;
  V chromaBlueRedWhole, chromaBlueRedFraction, chromaGreenFraction, chromaGreenCorrection, chromaOffset;
  V byte3;
};

template <class Reg>
PackedConstants<Reg> LoadPackedConstants() {
  const SplitGreenLane& y = kLumaLane;
  const SharedWordLane& u = kULane;
  const SharedWordLane& v = kVLane;
  return {Reg::Dwords(0x00FF00FF),
          Reg::RepeatLane(kGreenTwice),
          Lanes<Reg>(y.blueRedWhole, y.blueRedWhole),
          Lanes<Reg>(y.greenWhole, y.greenWhole),
          Lanes<Reg>(y.blueRedFraction, y.blueRedFraction),
          Lanes<Reg>(y.greenFraction, y.greenFraction),
          Lanes<Reg>(y.correctionSign, y.correctionSign),
          Lanes<Reg>(y.offset, y.offset),
          Lanes<Reg>(u.blueRedWhole, v.blueRedWhole),
          Lanes<Reg>(u.blueRedFraction, v.blueRedFraction),
          Lanes<Reg>(u.greenFraction, v.greenFraction),
          Lanes<Reg>(u.greenCorrectionWeights, v.greenCorrectionWeights),
          Lanes<Reg>(u.offset, v.offset),
          Reg::Dwords(static_cast<int32_t>(0xFF000000u))};
}

// The luma sum of each pixel.
template <class Reg>
PELLIX_WIDE_INLINE typename Reg::V LumaSums(typename Reg::V pixels, const PackedConstants<Reg>& c) {
  const auto blueRed = Reg::And(pixels, c.blueRed);
  const auto green = Reg::ShuffleBytes(pixels, c.greenTwice);
  const auto whole =
      Reg::AddDwords(Reg::MulAddWordPairs(blueRed, c.lumaBlueRedWhole), Reg::MulAddWordPairs(green, c.lumaGreenWhole));
  const auto corrections = Reg::AddWords(Reg::MulHighWordsUnsigned(blueRed, c.lumaBlueRedFraction),
                                         Reg::MulHighWordsUnsigned(green, c.lumaGreenFraction));
  return Reg::AddDwords(Reg::AddDwords(whole, Reg::MulAddWordPairs(corrections, c.lumaCorrectionSign)), c.lumaOffset);
}

// U in the first lane of each pair, V in the second, from the averaged
// pixels (each pair's average in both of its lanes).
template <class Reg>
PELLIX_WIDE_INLINE typename Reg::V ChromaSums(typename Reg::V averaged, const PackedConstants<Reg>& c) {
  const auto blueRed = Reg::And(averaged, c.blueRed);
  const auto green = Reg::ShuffleBytes(averaged, c.greenTwice);
  const auto corrections = Reg::AddWords(Reg::MulHighWordsUnsigned(blueRed, c.chromaBlueRedFraction),
                                         Reg::MulHighWordsUnsigned(green, c.chromaGreenFraction));
  const auto greenCorrected = Reg::template BlendWords<kChromaCorrectionWords>(green, corrections);
  return Reg::AddDwords(Reg::AddDwords(Reg::MulAddWordPairs(blueRed, c.chromaBlueRedWhole),
                                       Reg::MulAddWordPairs(greenCorrected, c.chromaGreenCorrection)),
                        c.chromaOffset);
}

// One register of pixels as one half-macropixel in the high word of each
// lane: the luma and chroma sample of the lane, in the order of the format.
template <class Reg, class Layout>
PELLIX_WIDE_INLINE typename Reg::V HalfMacropixels(typename Reg::V pixels, const PackedConstants<Reg>& c) {
  const auto averaged = Reg::AverageBytes(pixels, Reg::SwapDwordPairs(pixels));  // (a + b + 1) >> 1
  const auto luma = LumaSums<Reg>(pixels, c);
  const auto chroma = ChromaSums<Reg>(averaged, c);
  const auto& first = Layout::kOrder.LumaFirst() ? luma : chroma;
  const auto& second = Layout::kOrder.LumaFirst() ? chroma : luma;
  // Byte 3 of `first` is zero; byte 3 of the result is byte 2 of `second`.
  return Reg::MaskOr(Reg::template ShiftLeftDwords<8>(second), c.byte3, first);
}

// Pixels converted per step: two registers of BGRA, one of output.
template <class Reg>
constexpr int32_t kPackedStepPixels = Reg::kBytes / 2;

template <class Reg, class Layout, bool kStreaming>
void BgraToPackedSteps(const uint8_t* src, uint8_t* dst, int32_t steps, const PackedConstants<Reg>& c) {
  for (int32_t s = 0; s < steps; ++s) {
    const auto a = HalfMacropixels<Reg, Layout>(Reg::Load(src), c);
    const auto b = HalfMacropixels<Reg, Layout>(Reg::Load(src + Reg::kBytes), c);
    const auto out = Reg::OddWords(a, b);
    Put<Reg, kStreaming>(dst, out);
    src += 2 * Reg::kBytes;
    dst += Reg::kBytes;
  }
}

// The whole steps of a row; returns the pixels converted.
template <class Reg, class Layout>
int32_t BgraToPackedRow(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  const int32_t steps = pixels / kPackedStepPixels<Reg>;
  const PackedConstants<Reg> c = LoadPackedConstants<Reg>();
  WithRowStores<Reg>(dst, stream, [&](auto stores) {
    BgraToPackedSteps<Reg, Layout, decltype(stores)::kStreaming>(src, dst, steps, c);
  });
  return steps * kPackedStepPixels<Reg>;
}

}  // namespace
}  // namespace pellix
