#include <mmintrin.h>

#include "colorconv/simd/bgra_to_planar420_body64.h"
#include "colorconv/simd/row_kernels.h"

namespace pellix {
namespace {

struct Mmx {
  static void PrefetchGroup(const uint8_t*, const uint8_t*) {}

  // B, G, R of four pixels (16 bytes) as words times 8, by unpacking to
  // words and transposing the 4 x 4 word block.
  static void GatherFour(const uint8_t* p, __m64& blue, __m64& green, __m64& red) {
    const __m64 zero = _mm_setzero_si64();
    const __m64 p01 = Load8(p);
    const __m64 p23 = Load8(p + 8);
    const __m64 px0 = _mm_unpacklo_pi8(p01, zero);
    const __m64 px1 = _mm_unpackhi_pi8(p01, zero);
    const __m64 px2 = _mm_unpacklo_pi8(p23, zero);
    const __m64 px3 = _mm_unpackhi_pi8(p23, zero);
    const __m64 bg01 = _mm_unpacklo_pi16(px0, px1);
    const __m64 ra01 = _mm_unpackhi_pi16(px0, px1);
    const __m64 bg23 = _mm_unpacklo_pi16(px2, px3);
    const __m64 ra23 = _mm_unpackhi_pi16(px2, px3);
    blue = _mm_slli_pi16(_mm_unpacklo_pi32(bg01, bg23), 3);
    green = _mm_slli_pi16(_mm_unpackhi_pi32(bg01, bg23), 3);
    red = _mm_slli_pi16(_mm_unpacklo_pi32(ra01, ra23), 3);
  }

  // The first row's chroma packed to bytes, then the second row's words
  // averaged with those bytes by a truncating word shift.
  static __m64 CombineRows(__m64 first, __m64 second) {
    const __m64 firstBytes = _mm_unpacklo_pi8(_mm_packs_pu16(first, first), _mm_setzero_si64());
    const __m64 average = _mm_srai_pi16(_mm_add_pi16(second, firstBytes), 1);
    return _mm_packs_pu16(average, average);
  }
};

}  // namespace

void BGRAToPlanar420PairRow_MMX(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                                uint8_t* v, int32_t pixels) {
  BGRAToPlanar420PairGroups<Mmx>(src0, src1, y0, y1, u, v, pixels);
}

// Luma is the same in the MMX and SSE kernels, so both use this one.
void BGRAToPlanar420LumaRow_MMX(const uint8_t* src, uint8_t* y, int32_t pixels) {
  BGRAToPlanar420LumaGroups<Mmx>(src, y, pixels);
}

}  // namespace pellix
