#include <mmintrin.h>

#include <cstddef>

#include "formats/planar_layout.h"
#include "colorconv/simd/mmx_lanes.h"
#include "colorconv/simd/planar420_to_bgra_model.h"
#include "colorconv/simd/simd_constants.h"
#include "colorconv/simd/simd_routines.h"

namespace pellix {
namespace {

constexpr int32_t kGroupPixels = 8;

struct BgraConstants {
  __m64 lumaGain, vToRed, uToGreen, vToGreen, uToBlue, blackLevel, chromaCentre, evenPixelMask, rounding, alpha;
};

PELLIX_TARGET_MMX BgraConstants LoadBgraConstants() {
  const YuvToRgbConstantBlock& k = YuvToRgbConstants;
  return {Load8(k.lumaGain),     Load8(k.vToRed),
          Load8(k.uToGreen),     Load8(k.vToGreen),
          Load8(k.uToBlue),      Load8(k.blackLevel),
          Load8(k.chromaCentre), Load8(k.evenPixelMask),
          Load8(k.rounding),     _mm_set1_pi8(static_cast<char>(0xFF))};
}

// Four adjusted chroma bytes as (C - 128) * 32 in words.
PELLIX_TARGET_MMX __m64 ChromaTerm(const uint8_t* c, const MmxAdjustment& a, const BgraConstants& k) {
  const __m64 adjusted = AdjustBytes(Load4(c), a.chromaGain, _mm_setzero_si64(), a.centre);
  const __m64 words = _mm_unpacklo_pi8(adjusted, _mm_setzero_si64());
  return _mm_slli_pi16(_mm_sub_pi16(words, k.chromaCentre), 5);
}

// (Yt + chroma + 2) >> 2 for the even and the odd pixels, packed and put back
// in pixel order.
PELLIX_TARGET_MMX __m64 Channel(__m64 ytEven, __m64 ytOdd, __m64 chroma, const BgraConstants& k) {
  const __m64 even = _mm_srai_pi16(_mm_adds_pi16(_mm_adds_pi16(ytEven, chroma), k.rounding), 2);
  const __m64 odd = _mm_srai_pi16(_mm_adds_pi16(_mm_adds_pi16(ytOdd, chroma), k.rounding), 2);
  return _mm_unpacklo_pi8(_mm_packs_pu16(even, even), _mm_packs_pu16(odd, odd));
}

PELLIX_TARGET_MMX void ConvertGroups(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t groups,
                                     const MmxAdjustment& a, const BgraConstants& k) {
  for (ptrdiff_t g = 0; g < groups; ++g) {
    const __m64 cu = ChromaTerm(u + 4 * g, a, k);
    const __m64 cv = ChromaTerm(v + 4 * g, a, k);
    const __m64 luma = AdjustBytes(Load8(y + kGroupPixels * g), a.lumaGain, a.lumaOffset, a.centre);
    const __m64 yd = _mm_subs_pu8(luma, k.blackLevel);
    const __m64 ytEven = _mm_mulhi_pi16(_mm_slli_pi16(_mm_and_si64(yd, k.evenPixelMask), 5), k.lumaGain);
    const __m64 ytOdd = _mm_mulhi_pi16(_mm_slli_pi16(_mm_srli_pi16(yd, 8), 5), k.lumaGain);

    const __m64 red = Channel(ytEven, ytOdd, _mm_mulhi_pi16(cv, k.vToRed), k);
    const __m64 green =
        Channel(ytEven, ytOdd, _mm_adds_pi16(_mm_mulhi_pi16(cu, k.uToGreen), _mm_mulhi_pi16(cv, k.vToGreen)), k);
    const __m64 blue = Channel(ytEven, ytOdd, _mm_mulhi_pi16(cu, k.uToBlue), k);

    const __m64 bgLo = _mm_unpacklo_pi8(blue, green);
    const __m64 bgHi = _mm_unpackhi_pi8(blue, green);
    const __m64 raLo = _mm_unpacklo_pi8(red, k.alpha);
    const __m64 raHi = _mm_unpackhi_pi8(red, k.alpha);
    uint8_t* out = d + 4 * kGroupPixels * g;
    Store8(out, _mm_unpacklo_pi16(bgLo, raLo));
    Store8(out + 8, _mm_unpackhi_pi16(bgLo, raLo));
    Store8(out + 16, _mm_unpacklo_pi16(bgHi, raHi));
    Store8(out + 24, _mm_unpackhi_pi16(bgHi, raHi));
  }
}

}  // namespace

PELLIX_TARGET_MMX void Planar420ToBGRA_MMX(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU,
                                           const uint8_t* srcV, int32_t srcChromaStride, uint8_t* dst, int32_t width,
                                           int32_t height, int32_t dstStride, const ColorAdjustment* adjustIn,
                                           int32_t interlaced) {
  // A negative height reads the source bottom-up; output is always top-down.
  const int64_t rows = height < 0 ? -int64_t{height} : int64_t{height};
  if (width < 2 || rows < 2) return;
  const int32_t h = static_cast<int32_t>(rows);
  const ColorAdjustment& adjust = AdjustmentOrIdentity(adjustIn);
  const MmxAdjustment lanes = LoadMmxAdjustment(adjust);
  const BgraConstants constants = LoadBgraConstants();
  const int32_t groups = width / kGroupPixels;
  const int32_t tail = groups * kGroupPixels;
  for (int32_t r = 0; r < h; ++r) {
    const int32_t srcRow = height < 0 ? h - 1 - r : r;
    const ptrdiff_t chroma =
        static_cast<ptrdiff_t>(int64_t{ChromaRowForLumaRow(srcRow, h, interlaced)} * srcChromaStride);
    const uint8_t* y = srcY + static_cast<ptrdiff_t>(int64_t{srcRow} * srcYStride);
    uint8_t* d = dst + static_cast<ptrdiff_t>(int64_t{r} * 4 * dstStride);
    ConvertGroups(y, srcU + chroma, srcV + chroma, d, groups, lanes, constants);
    Planar420ToBGRARowModel(y, srcU + chroma, srcV + chroma, d, tail, width, adjust);
  }
  _mm_empty();
}

}  // namespace pellix
