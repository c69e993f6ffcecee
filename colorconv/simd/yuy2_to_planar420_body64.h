// The MMX and SSE kernels of YUY2 to planar 4:2:0 on 64-bit lanes: groups of
// 16 pixels. Luma is the even bytes of each row; U and V are bytes 1 and 3
// of each macropixel, the two rows' samples combined into one byte. The
// kernel files give the instruction-set policy: how the rows combine and
// the prefetch hint.
#pragma once

#include <mmintrin.h>

#include "colorconv/simd/lanes64.h"

namespace pellix {
namespace {

constexpr int32_t kYuy2GroupPixels = 16;

struct Yuy2Group {
  __m64 m0, m1, m2, m3;  // 32 source bytes Y0 U Y1 V ...
};

inline Yuy2Group LoadYuy2Group(const uint8_t* src) {
  return {Load8(src), Load8(src + 8), Load8(src + 16), Load8(src + 24)};
}

inline void StoreLuma(const Yuy2Group& g, uint8_t* y) {
  const __m64 lowByte = _mm_set1_pi16(0x00FF);
  Store8(y, _mm_packs_pu16(_mm_and_si64(g.m0, lowByte), _mm_and_si64(g.m1, lowByte)));
  Store8(y + 8, _mm_packs_pu16(_mm_and_si64(g.m2, lowByte), _mm_and_si64(g.m3, lowByte)));
}

// 8 U bytes and 8 V bytes of the group.
inline void SplitChroma(const Yuy2Group& g, __m64& u, __m64& v) {
  const __m64 lowByte = _mm_set1_pi16(0x00FF);
  const __m64 uv0 = _mm_packs_pu16(_mm_srli_pi16(g.m0, 8), _mm_srli_pi16(g.m1, 8));
  const __m64 uv1 = _mm_packs_pu16(_mm_srli_pi16(g.m2, 8), _mm_srli_pi16(g.m3, 8));
  u = _mm_packs_pu16(_mm_and_si64(uv0, lowByte), _mm_and_si64(uv1, lowByte));
  v = _mm_packs_pu16(_mm_srli_pi16(uv0, 8), _mm_srli_pi16(uv1, 8));
}

template <class Isa>
void YUY2ToPlanar420PairGroups(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                               uint8_t* v, int32_t pixels) {
  for (ptrdiff_t x = 0; x < pixels; x += kYuy2GroupPixels) {
    Isa::PrefetchSource(src0 + 2 * x);
    const Yuy2Group g0 = LoadYuy2Group(src0 + 2 * x);
    Isa::PrefetchSource(src1 + 2 * x);
    const Yuy2Group g1 = LoadYuy2Group(src1 + 2 * x);
    StoreLuma(g0, y0 + x);
    StoreLuma(g1, y1 + x);
    __m64 u0, v0, u1, v1;
    SplitChroma(g0, u0, v0);
    SplitChroma(g1, u1, v1);
    Store8(u + x / 2, Isa::CombineRows(u0, u1));
    Store8(v + x / 2, Isa::CombineRows(v0, v1));
  }
  _mm_empty();
}

inline void YUY2ToPlanar420LumaGroups(const uint8_t* src, uint8_t* y, int32_t pixels) {
  for (ptrdiff_t x = 0; x < pixels; x += kYuy2GroupPixels) StoreLuma(LoadYuy2Group(src + 2 * x), y + x);
  _mm_empty();
}

}  // namespace
}  // namespace pellix
