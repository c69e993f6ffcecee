#include <mmintrin.h>

#include <cstddef>

#include "colorconv/simd/lanes64.h"
#include "colorconv/simd/row_kernels.h"
#include "colorconv/simd/simd_constants.h"

namespace pellix {
namespace {

constexpr int32_t kGroupPixels = 8;

struct BgraConstants {
  __m64 lumaGain, vToRed, uToGreen, vToGreen, uToBlue, blackLevel, chromaCentre, evenPixelMask, rounding, alpha;
};

BgraConstants LoadBgraConstants() {
  const YuvToRgbConstantBlock& k = YuvToRgbConstants;
  return {Load8(k.lumaGain),     Load8(k.vToRed),
          Load8(k.uToGreen),     Load8(k.vToGreen),
          Load8(k.uToBlue),      Load8(k.blackLevel),
          Load8(k.chromaCentre), Load8(k.evenPixelMask),
          Load8(k.rounding),     _mm_set1_pi8(static_cast<char>(0xFF))};
}

// Four adjusted chroma bytes as (C - 128) * 32 in words.
__m64 ChromaTerm(const uint8_t* c, const MmxAdjustment& a, const BgraConstants& k) {
  const __m64 adjusted = AdjustBytes<Mm>(Load4(c), a.chromaGain, Mm::Zero());
  const __m64 words = _mm_unpacklo_pi8(adjusted, _mm_setzero_si64());
  return _mm_slli_pi16(_mm_sub_pi16(words, k.chromaCentre), 5);
}

// (Yt + chroma + 2) >> 2 for the even and the odd pixels, packed and put back
// in pixel order.
__m64 Channel(__m64 ytEven, __m64 ytOdd, __m64 chroma, const BgraConstants& k) {
  const __m64 even = _mm_srai_pi16(_mm_adds_pi16(_mm_adds_pi16(ytEven, chroma), k.rounding), 2);
  const __m64 odd = _mm_srai_pi16(_mm_adds_pi16(_mm_adds_pi16(ytOdd, chroma), k.rounding), 2);
  return _mm_unpacklo_pi8(_mm_packs_pu16(even, even), _mm_packs_pu16(odd, odd));
}

void ConvertGroups(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t groups,
                   const MmxAdjustment& a, const BgraConstants& k) {
  for (ptrdiff_t g = 0; g < groups; ++g) {
    const __m64 cu = ChromaTerm(u + 4 * g, a, k);
    const __m64 cv = ChromaTerm(v + 4 * g, a, k);
    const __m64 luma = AdjustBytes<Mm>(Load8(y + kGroupPixels * g), a.lumaGain, a.lumaOffset);
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

void Planar420ToBGRARow_MMX(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                            const ColorAdjustment& adjust, bool /*stream*/) {
  ConvertGroups(y, u, v, d, pixels / kGroupPixels, LoadMmxAdjustment(adjust), LoadBgraConstants());
  _mm_empty();
}

}  // namespace pellix
