#include <mmintrin.h>
#include <xmmintrin.h>

#include "colorconv/simd/row_kernels.h"
#include "colorconv/simd/yuy2_to_planar420_body64.h"

namespace pellix {
namespace {

struct Sse {
  static void PrefetchSource(const uint8_t* src) { _mm_prefetch(HintAddress(src, 160), _MM_HINT_NTA); }
  // Rounding byte average (a + b + 1) >> 1.
  static __m64 CombineRows(__m64 a, __m64 b) { return _mm_avg_pu8(b, a); }
};

}  // namespace

void YUY2ToPlanar420PairRow_SSE(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                                uint8_t* v, int32_t pixels) {
  YUY2ToPlanar420PairGroups<Sse>(src0, src1, y0, y1, u, v, pixels);
}

}  // namespace pellix
