#include <mmintrin.h>
#include <xmmintrin.h>

#include "colorconv/simd/bgra_to_planar420_body64.h"
#include "colorconv/simd/row_kernels.h"

namespace pellix {
namespace {

int Word(const uint8_t* p) {
  uint16_t word;
  std::memcpy(&word, p, 2);
  return word;
}

struct Sse {
  // Brings the group's source and luma destination lines into the cache and
  // asks for the source 64 bytes ahead.
  static void PrefetchGroup(const uint8_t* src, const uint8_t* y) {
    _mm_prefetch(HintAddress(src, 0), _MM_HINT_T0);
    _mm_prefetch(HintAddress(y, 0), _MM_HINT_T0);
    _mm_prefetch(HintAddress(src, 64), _MM_HINT_NTA);
  }

  // B, G, R of four pixels (16 bytes) as words times 8, by word insertion:
  // the words at 0, 4, 8, 12 hold B (low byte) and G, those at 2, 6, 10, 14
  // hold R (low byte).
  static void GatherFour(const uint8_t* p, __m64& blue, __m64& green, __m64& red) {
    __m64 bg = _mm_setzero_si64();
    __m64 ra = _mm_setzero_si64();
    bg = _mm_insert_pi16(bg, Word(p), 0);
    ra = _mm_insert_pi16(ra, Word(p + 2), 0);
    bg = _mm_insert_pi16(bg, Word(p + 4), 1);
    ra = _mm_insert_pi16(ra, Word(p + 6), 1);
    bg = _mm_insert_pi16(bg, Word(p + 8), 2);
    ra = _mm_insert_pi16(ra, Word(p + 10), 2);
    bg = _mm_insert_pi16(bg, Word(p + 12), 3);
    ra = _mm_insert_pi16(ra, Word(p + 14), 3);
    const __m64 lowByte = _mm_set1_pi16(0x00FF);
    blue = _mm_slli_pi16(_mm_and_si64(bg, lowByte), 3);
    green = _mm_slli_pi16(_mm_srli_pi16(bg, 8), 3);
    red = _mm_slli_pi16(_mm_and_si64(ra, lowByte), 3);
  }

  // Both rows' chroma packed to bytes, then the rounding byte average.
  static __m64 CombineRows(__m64 first, __m64 second) {
    return _mm_avg_pu8(_mm_packs_pu16(second, second), _mm_packs_pu16(first, first));
  }
};

}  // namespace

void BGRAToPlanar420PairRow_SSE(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                                uint8_t* v, int32_t pixels) {
  BGRAToPlanar420PairGroups<Sse>(src0, src1, y0, y1, u, v, pixels);
}

}  // namespace pellix
