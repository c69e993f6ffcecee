// The wide kernels of YUY2 and UYVY to BGRA: the plain pixel rule (clamps,
// lookup tables, clip) with the tables replaced by their integer forms
// (yuv_to_bgra_table_forms.h), on Reg::kBytes pixels per group, which give
// the same bytes as the plain routines.
//
// Each 16-bit word of a 4:2:2 row holds one luma and one chroma byte, and
// the chroma bytes alternate U, V. So a word keeps its pixel's luma term in
// place, one multiply gives U's blue term beside V's red term, another U's
// green term beside V's, and a byte shuffle copies each term to both pixels
// of its pair.
#pragma once

#include <cstddef>
#include <cstdint>

#include "colorconv/simd/bgra_wide_store.h"
#include "colorconv/simd/row_stores.h"
#include "colorconv/simd/yuv_to_bgra_table_forms.h"
#include "formats/packed422_order.h"

namespace pellix {
namespace {

namespace forms = yuv_to_bgra;

constexpr uint8_t kEvenWordTwice[16] = {0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13};
constexpr uint8_t kOddWordTwice[16] = {2, 3, 2, 3, 6, 7, 6, 7, 10, 11, 10, 11, 14, 15, 14, 15};
constexpr uint8_t kWordsSwapped[16] = {2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13};

template <class Reg, class Layout>
struct PackedBgraConstants {
  using V = typename Reg::V;
  static int16_t LumaChroma(int32_t luma, int32_t chroma) {
    return static_cast<int16_t>(Layout::kOrder.LumaFirst() ? luma | chroma << 8 : chroma | luma << 8);
  }

  V low = Reg::Bytes(forms::kLumaLow);
  static_assert(forms::kLumaLow == forms::kChromaLow, "one lower clamp for luma and chroma bytes");
  V high = Reg::Words(LumaChroma(forms::kLumaHigh, forms::kChromaHigh));
  V centre = Reg::Words(LumaChroma(forms::kLumaLow, forms::kChromaCentre));
  // Byte factors that pick luma * 4 or chroma * 4 out of a word: the
  // multiply-add of byte pairs takes one side unsigned (luma - 16, 0..219)
  // and the other signed (chroma - 128).
  V lumaPicker = Reg::Words(LumaChroma(1 << forms::kInputShift, 0));
  V chromaPicker = Reg::Words(LumaChroma(0, 1 << forms::kInputShift));
  V lumaMultiplier = Reg::Words(forms::kLumaMultiplier);
  // Words alternate U, V.
  V blueRed = Reg::WordPairs(forms::kUToBlueForm.multiplier, forms::kVToRedForm.multiplier);
  V greens = Reg::WordPairs(forms::kUToGreenForm.multiplier, forms::kVToGreenForm.multiplier);
  V evenWordTwice = Reg::RepeatLane(kEvenWordTwice);
  V oddWordTwice = Reg::RepeatLane(kOddWordTwice);
  V wordsSwapped = Reg::RepeatLane(kWordsSwapped);
};

template <class Reg>
struct BgraWords {
  typename Reg::V blue, green, red;
};

// The chroma forms' step: one more where the rounded term is negative.
template <class Reg>
typename Reg::V TowardZero(typename Reg::V rounded) {
  return Reg::SubWords(rounded, Reg::template ShiftRightWordsSigned<15>(rounded));
}

// One vector of macropixels to B, G and R words, one per pixel.
template <class Reg, class Layout>
BgraWords<Reg> MacropixelsToBgra(typename Reg::V s, const PackedBgraConstants<Reg, Layout>& k) {
  using V = typename Reg::V;
  // Clamp every byte to its range, then luma - 16 and chroma - 128 (a
  // signed byte).
  s = Reg::SubBytes(Reg::MinBytesUnsigned(Reg::MaxBytesUnsigned(s, k.low), k.high), k.centre);
  const V lumaTimes4 = Reg::MulAddBytePairs(s, k.lumaPicker);
  const V chromaTimes4 = Reg::MulAddBytePairs(k.chromaPicker, s);
  const V luma = Reg::MulHighWords(lumaTimes4, k.lumaMultiplier);
  const V blueRed = TowardZero<Reg>(Reg::MulHighRoundedWords(chromaTimes4, k.blueRed));
  const V greens = TowardZero<Reg>(Reg::MulHighRoundedWords(chromaTimes4, k.greens));
  const V green = Reg::AddWords(greens, Reg::ShuffleBytes(greens, k.wordsSwapped));
  return {Reg::AddWords(luma, Reg::ShuffleBytes(blueRed, k.evenWordTwice)), Reg::AddWords(luma, green),
          Reg::AddWords(luma, Reg::ShuffleBytes(blueRed, k.oddWordTwice))};
}

// Groups of Reg::kBytes pixels: two vectors of macropixels each.
template <class Reg, class Layout, bool kStream>
void PackedToBgraGroups(const uint8_t* src, uint8_t* dst, int32_t pixels) {
  const PackedBgraConstants<Reg, Layout> k;
  for (ptrdiff_t x = 0; x < pixels; x += Reg::kBytes) {
    const uint8_t* in = src + 2 * x;
    const BgraWords<Reg> first = MacropixelsToBgra<Reg, Layout>(Reg::DealQwords(Reg::Load(in)), k);
    const BgraWords<Reg> second = MacropixelsToBgra<Reg, Layout>(Reg::DealQwords(Reg::Load(in + Reg::kBytes)), k);
    StoreBgraGroup<Reg, kStream>(dst + 4 * x, first.blue, second.blue, first.green, second.green, first.red,
                                 second.red);
  }
}

template <class Reg, class Layout>
void PackedToBgraRow(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  WithRowStores<Reg>(dst, stream, [&](auto stores) {
    PackedToBgraGroups<Reg, Layout, decltype(stores)::kStreaming>(src, dst, pixels);
  });
}

}  // namespace
}  // namespace pellix
