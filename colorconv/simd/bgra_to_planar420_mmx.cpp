#include <mmintrin.h>

#include "colorconv/simd/bgra_to_planar420_lanes.h"
#include "colorconv/simd/bgra_to_planar420_model.h"
#include "colorconv/simd/planar_destination_rows.h"
#include "colorconv/simd/simd_routines.h"

namespace pellix {
namespace {

constexpr int32_t kGroupPixels = 8;

// B, G, R of four pixels (16 bytes) as words times 8, by unpacking to words
// and transposing the 4 x 4 word block.
PELLIX_TARGET_MMX void GatherFour(const uint8_t* p, __m64& blue, __m64& green, __m64& red) {
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

// First row of a pair stores its chroma; the second stores the truncating
// average with it.
PELLIX_TARGET_MMX void StoreChroma(uint8_t* p, __m64 words, ChromaPass pass) {
  if (pass == ChromaPass::First) {
    Store4(p, _mm_packs_pu16(words, words));
    return;
  }
  const __m64 stored = _mm_unpacklo_pi8(Load4(p), _mm_setzero_si64());
  const __m64 average = _mm_srai_pi16(_mm_add_pi16(words, stored), 1);
  Store4(p, _mm_packs_pu16(average, average));
}

PELLIX_TARGET_MMX void ConvertGroups(const PlanarDestinationRow& row, int32_t groups, const RgbToYuvLanes& k) {
  for (ptrdiff_t g = 0; g < groups; ++g) {
    const uint8_t* src = row.src + 4 * kGroupPixels * g;
    BgraWords w;
    GatherFour(src, w.blueLo, w.greenLo, w.redLo);
    GatherFour(src + 16, w.blueHi, w.greenHi, w.redHi);
    Store8(row.y + kGroupPixels * g, LumaBytes(w, k));
    if (row.pass == ChromaPass::None) continue;
    const ChromaLanes c = PairChroma(w, k);
    StoreChroma(row.u + 4 * g, c.u, row.pass);
    StoreChroma(row.v + 4 * g, c.v, row.pass);
  }
}

}  // namespace

// flip and interlaced are always 0 from the frame converters; the source is
// read top-down and the chroma planes are filled progressively.
PELLIX_TARGET_MMX int32_t BGRAToPlanar420_MMX(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch,
                                              uint8_t* dstY, uint8_t* dstU, uint8_t* dstV, int32_t dstYStride,
                                              int32_t /*flip*/, int32_t /*interlaced*/) {
  if (width < 2 || height < 2) return 0;
  const RgbToYuvLanes constants = LoadRgbToYuvLanes();
  const int32_t groups = width / kGroupPixels;
  const int32_t tail = groups * kGroupPixels;
  ForEachPlanarDestinationRow(height, src, srcPitch, dstY, dstU, dstV, dstYStride, ChromaRowRule::HalfOfLumaOffset,
                              [&](const PlanarDestinationRow& row) {
                                ConvertGroups(row, groups, constants);
                                BGRAToPlanar420RowModel(row, tail, width, SecondRowAverage::Truncating);
                              });
  _mm_empty();
  return 0;
}

}  // namespace pellix
