#include <mmintrin.h>
#include <xmmintrin.h>

#include "colorconv/simd/mmx_lanes.h"
#include "colorconv/simd/planar_destination_rows.h"
#include "colorconv/simd/simd_routines.h"
#include "colorconv/simd/yuy2_to_planar420_model.h"

namespace pellix {
namespace {

constexpr int32_t kGroupPixels = 16;

PELLIX_TARGET_SSE void StoreChroma(uint8_t* p, __m64 bytes, ChromaPass pass) {
  Store8(p, pass == ChromaPass::First ? bytes : _mm_avg_pu8(bytes, Load8(p)));
}

// 32 source bytes Y0 U Y1 V ... give 16 luma bytes (the even bytes) and
// 8 U and 8 V (bytes 1 and 3 of each macropixel).
PELLIX_TARGET_SSE void ConvertGroups(const PlanarDestinationRow& row, int32_t groups) {
  const __m64 lowByte = _mm_set1_pi16(0x00FF);
  for (ptrdiff_t g = 0; g < groups; ++g) {
    const uint8_t* src = row.src + 2 * kGroupPixels * g;
    _mm_prefetch(HintAddress(src, 160), _MM_HINT_NTA);
    const __m64 m0 = Load8(src);
    const __m64 m1 = Load8(src + 8);
    const __m64 m2 = Load8(src + 16);
    const __m64 m3 = Load8(src + 24);
    uint8_t* y = row.y + kGroupPixels * g;
    Store8(y, _mm_packs_pu16(_mm_and_si64(m0, lowByte), _mm_and_si64(m1, lowByte)));
    Store8(y + 8, _mm_packs_pu16(_mm_and_si64(m2, lowByte), _mm_and_si64(m3, lowByte)));
    if (row.pass == ChromaPass::None) continue;
    const __m64 uv0 = _mm_packs_pu16(_mm_srli_pi16(m0, 8), _mm_srli_pi16(m1, 8));
    const __m64 uv1 = _mm_packs_pu16(_mm_srli_pi16(m2, 8), _mm_srli_pi16(m3, 8));
    const __m64 u = _mm_packs_pu16(_mm_and_si64(uv0, lowByte), _mm_and_si64(uv1, lowByte));
    const __m64 v = _mm_packs_pu16(_mm_srli_pi16(uv0, 8), _mm_srli_pi16(uv1, 8));
    StoreChroma(row.u + 8 * g, u, row.pass);
    StoreChroma(row.v + 8 * g, v, row.pass);
  }
}

}  // namespace

// flip and interlaced are always 0 from the frame converters; the source is
// read top-down and the chroma planes are filled progressively.
PELLIX_TARGET_SSE int32_t YUY2ToPlanar420_SSE(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch,
                                              uint8_t* dstY, uint8_t* dstU, uint8_t* dstV, int32_t dstYStride,
                                              int32_t /*flip*/, int32_t /*interlaced*/) {
  if (width < 2 || height < 2) return 0;
  const int32_t groups = width / kGroupPixels;
  const int32_t tail = groups * kGroupPixels;
  ForEachPlanarDestinationRow(height, src, srcPitch, dstY, dstU, dstV, dstYStride, ChromaRowRule::HalvedStride,
                              [&](const PlanarDestinationRow& row) {
                                ConvertGroups(row, groups);
                                YUY2ToPlanar420RowModel(row, tail, width, SecondRowAverage::Rounding);
                              });
  _mm_empty();
  return 0;
}

}  // namespace pellix
