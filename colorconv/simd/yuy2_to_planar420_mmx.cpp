#include <mmintrin.h>

#include "colorconv/simd/row_kernels.h"
#include "colorconv/simd/yuy2_to_planar420_body64.h"

namespace pellix {
namespace {

struct Mmx {
  static void PrefetchSource(const uint8_t*) {}

  // Truncating byte average (a + b) >> 1 through words.
  static __m64 CombineRows(__m64 a, __m64 b) {
    const __m64 zero = _mm_setzero_si64();
    const __m64 lo = _mm_srli_pi16(_mm_add_pi16(_mm_unpacklo_pi8(a, zero), _mm_unpacklo_pi8(b, zero)), 1);
    const __m64 hi = _mm_srli_pi16(_mm_add_pi16(_mm_unpackhi_pi8(a, zero), _mm_unpackhi_pi8(b, zero)), 1);
    return _mm_packs_pu16(lo, hi);
  }
};

}  // namespace

void YUY2ToPlanar420PairRow_MMX(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                                uint8_t* v, int32_t pixels) {
  YUY2ToPlanar420PairGroups<Mmx>(src0, src1, y0, y1, u, v, pixels);
}

// Luma is the same in the MMX and SSE kernels, so both use this one.
void YUY2ToPlanar420LumaRow_MMX(const uint8_t* src, uint8_t* y, int32_t pixels) {
  YUY2ToPlanar420LumaGroups(src, y, pixels);
}

}  // namespace pellix
