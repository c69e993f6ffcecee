#include <mmintrin.h>
#include <xmmintrin.h>

#include "colorconv/simd/bgra_to_planar420_lanes.h"
#include "colorconv/simd/bgra_to_planar420_model.h"
#include "colorconv/simd/planar_destination_rows.h"
#include "colorconv/simd/simd_routines.h"

namespace pellix {
namespace {

constexpr int32_t kGroupPixels = 8;

PELLIX_TARGET_SSE int Word(const uint8_t* p) {
  uint16_t word;
  std::memcpy(&word, p, 2);
  return word;
}

// B, G, R of four pixels (16 bytes) as words times 8, by word insertion:
// the words at 0, 4, 8, 12 hold B (low byte) and G, those at 2, 6, 10, 14
// hold R (low byte).
PELLIX_TARGET_SSE void GatherFour(const uint8_t* p, __m64& blue, __m64& green, __m64& red) {
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

// First row of a pair stores its chroma; the second stores the rounding
// byte average with it.
PELLIX_TARGET_SSE void StoreChroma(uint8_t* p, __m64 words, ChromaPass pass) {
  const __m64 bytes = _mm_packs_pu16(words, words);
  Store4(p, pass == ChromaPass::First ? bytes : _mm_avg_pu8(bytes, Load4(p)));
}

PELLIX_TARGET_SSE void ConvertGroups(const PlanarDestinationRow& row, int32_t groups, const RgbToYuvLanes& k) {
  for (ptrdiff_t g = 0; g < groups; ++g) {
    const uint8_t* src = row.src + 4 * kGroupPixels * g;
    uint8_t* y = row.y + kGroupPixels * g;
    // Bring the group's source and luma destination lines into the cache.
    _mm_prefetch(HintAddress(src, 0), _MM_HINT_T0);
    _mm_prefetch(HintAddress(y, 0), _MM_HINT_T0);
    BgraWords w;
    GatherFour(src, w.blueLo, w.greenLo, w.redLo);
    GatherFour(src + 16, w.blueHi, w.greenHi, w.redHi);
    _mm_prefetch(HintAddress(src, 64), _MM_HINT_NTA);
    Store8(y, LumaBytes(w, k));
    if (row.pass == ChromaPass::None) continue;
    const ChromaLanes c = PairChroma(w, k);
    StoreChroma(row.u + 4 * g, c.u, row.pass);
    StoreChroma(row.v + 4 * g, c.v, row.pass);
  }
}

}  // namespace

// flip and interlaced are always 0 from the frame converters; the source is
// read top-down and the chroma planes are filled progressively.
PELLIX_TARGET_SSE int32_t BGRAToPlanar420_SSE(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch,
                                              uint8_t* dstY, uint8_t* dstU, uint8_t* dstV, int32_t dstYStride,
                                              int32_t /*flip*/, int32_t /*interlaced*/) {
  if (width < 2 || height < 2) return 0;
  const RgbToYuvLanes constants = LoadRgbToYuvLanes();
  const int32_t groups = width / kGroupPixels;
  const int32_t tail = groups * kGroupPixels;
  ForEachPlanarDestinationRow(height, src, srcPitch, dstY, dstU, dstV, dstYStride, ChromaRowRule::HalfOfLumaOffset,
                              [&](const PlanarDestinationRow& row) {
                                ConvertGroups(row, groups, constants);
                                BGRAToPlanar420RowModel(row, tail, width, SecondRowAverage::Rounding);
                              });
  _mm_empty();
  return 0;
}

}  // namespace pellix
