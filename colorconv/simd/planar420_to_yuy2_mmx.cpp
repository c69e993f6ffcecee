#include <mmintrin.h>

#include "colorconv/simd/mmx_lanes.h"
#include "colorconv/simd/planar420_to_yuy2_model.h"
#include "colorconv/simd/planar420_to_yuy2_rows.h"
#include "colorconv/simd/simd_routines.h"

namespace pellix {
namespace {

constexpr int32_t kGroupPixels = 16;

// 16 luma bytes with their 8 U and 8 V (already adjusted, interleaved as
// U0 V0 U1 V1 ...) into 32 bytes Y U Y V.
PELLIX_TARGET_MMX void WriteGroupRow(const uint8_t* y, uint8_t* d, __m64 uvLo, __m64 uvHi, const MmxAdjustment& a) {
  const __m64 y0 = AdjustBytes(Load8(y), a.lumaGain, a.lumaOffset, a.centre);
  const __m64 y1 = AdjustBytes(Load8(y + 8), a.lumaGain, a.lumaOffset, a.centre);
  Store8(d, _mm_unpacklo_pi8(y0, uvLo));
  Store8(d + 8, _mm_unpackhi_pi8(y0, uvLo));
  Store8(d + 16, _mm_unpacklo_pi8(y1, uvHi));
  Store8(d + 24, _mm_unpackhi_pi8(y1, uvHi));
}

// No prefetch hint: this variant runs only on processors without SSE, where
// the hint instruction does not exist.
PELLIX_TARGET_MMX void ConvertGroups(const Planar420Rows& rows, int32_t groups, const MmxAdjustment& a) {
  const __m64 noOffset = _mm_setzero_si64();
  for (ptrdiff_t g = 0; g < groups; ++g) {
    const __m64 u = AdjustBytes(Load8(rows.u + 8 * g), a.chromaGain, noOffset, a.centre);
    const __m64 v = AdjustBytes(Load8(rows.v + 8 * g), a.chromaGain, noOffset, a.centre);
    const __m64 uvLo = _mm_unpacklo_pi8(u, v);
    const __m64 uvHi = _mm_unpackhi_pi8(u, v);
    WriteGroupRow(rows.y0 + kGroupPixels * g, rows.d0 + 2 * kGroupPixels * g, uvLo, uvHi, a);
    if (rows.y1) WriteGroupRow(rows.y1 + kGroupPixels * g, rows.d1 + 2 * kGroupPixels * g, uvLo, uvHi, a);
  }
}

}  // namespace

PELLIX_TARGET_MMX void Planar420ToYUY2_MMX(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU,
                                           const uint8_t* srcV, int32_t srcChromaStride, uint8_t* dst, int32_t width,
                                           int32_t height, int32_t dstStride, const ColorAdjustment* adjustIn,
                                           int32_t interlaced) {
  if (width < 2 || height < 2) return;
  const ColorAdjustment& adjust = AdjustmentOrIdentity(adjustIn);
  const MmxAdjustment lanes = LoadMmxAdjustment(adjust);
  const int32_t groups = width / kGroupPixels;
  const int32_t tail = groups * kGroupPixels;
  ForEachPlanar420ToPackedRowPair(
      srcY, srcYStride, srcU, srcV, srcChromaStride, dst, 2 * int64_t{dstStride}, height, interlaced,
      [&](const Planar420Rows& rows) {
        ConvertGroups(rows, groups, lanes);
        Planar420ToYUY2RowModel(rows.y0, rows.u, rows.v, rows.d0, tail, width, adjust, false);
        if (rows.y1) Planar420ToYUY2RowModel(rows.y1, rows.u, rows.v, rows.d1, tail, width, adjust, false);
      });
  _mm_empty();
}

}  // namespace pellix
