// The packed arithmetic of the BGRAToPlanar420 kernels once B, G and R of a group of
// 8 pixels are words scaled by 8 (the MMX and SSE variants differ only in
// how they gather them and in the second-row average). Internal linkage, as
// in lanes64.h.
#pragma once

#include <mmintrin.h>

#include "colorconv/simd/lanes64.h"
#include "colorconv/simd/simd_constants.h"

namespace pellix {
namespace {

// Components of pixels 0-3 (lo) and 4-7 (hi), each times 8.
struct BgraWords {
  __m64 blueLo, greenLo, redLo;
  __m64 blueHi, greenHi, redHi;
};

struct RgbToYuvLanes {
  __m64 blueToY, greenToY, redToY, lumaBias, lumaRounding, lumaBlackLevel;
  __m64 blueToU, greenToU, redToU, greenToV, blueToV, chromaBias, pairOnes;
};

inline RgbToYuvLanes LoadRgbToYuvLanes() {
  const RgbToYuvConstantBlock& k = RgbToYuvConstants;
  return {Load8(k.blueToY),        Load8(k.greenToY),   Load8(k.redToY),   Load8(k.lumaBias), Load8(k.lumaRounding),
          Load8(k.lumaBlackLevel), Load8(k.blueToU),    Load8(k.greenToU), Load8(k.redToU),   Load8(k.greenToV),
          Load8(k.blueToV),        Load8(k.chromaBias), _mm_set1_pi16(1)};
}

inline __m64 LumaProducts(__m64 b, __m64 g, __m64 r, const RgbToYuvLanes& k) {
  return _mm_adds_pi16(_mm_adds_pi16(_mm_mulhi_pi16(b, k.blueToY), _mm_mulhi_pi16(g, k.greenToY)),
                       _mm_mulhi_pi16(r, k.redToY));
}

// Eight luma bytes. Pixels 0-3 add the bias of 16.5 before the shift, pixels
// 4-7 add one half and then the black level; both give the same value.
inline __m64 LumaBytes(const BgraWords& w, const RgbToYuvLanes& k) {
  const __m64 lo = _mm_srli_pi16(_mm_adds_pi16(LumaProducts(w.blueLo, w.greenLo, w.redLo, k), k.lumaBias), 2);
  const __m64 hi = _mm_adds_pi16(
      _mm_srli_pi16(_mm_adds_pi16(LumaProducts(w.blueHi, w.greenHi, w.redHi, k), k.lumaRounding), 2), k.lumaBlackLevel);
  return _mm_packs_pu16(lo, hi);
}

// 4 * (c(2j) + c(2j+1)) for the four pairs of the group.
inline __m64 PairSums(__m64 lo, __m64 hi, const RgbToYuvLanes& k) {
  return _mm_srai_pi16(_mm_packs_pi32(_mm_madd_pi16(lo, k.pairOnes), _mm_madd_pi16(hi, k.pairOnes)), 1);
}

struct ChromaLanes {
  __m64 u;  // four words, before packing
  __m64 v;
};

inline ChromaLanes PairChroma(const BgraWords& w, const RgbToYuvLanes& k) {
  const __m64 sb = PairSums(w.blueLo, w.blueHi, k);
  const __m64 sg = PairSums(w.greenLo, w.greenHi, k);
  const __m64 sr = PairSums(w.redLo, w.redHi, k);
  const __m64 u = _mm_sub_pi16(_mm_mulhi_pi16(sb, k.blueToU),
                               _mm_sub_pi16(_mm_mulhi_pi16(sg, k.greenToU), _mm_mulhi_pi16(sr, k.redToU)));
  const __m64 v = _mm_sub_pi16(_mm_mulhi_pi16(sb, k.blueToV),
                               _mm_sub_pi16(_mm_mulhi_pi16(sg, k.greenToV), _mm_mulhi_pi16(sr, k.blueToU)));
  return {_mm_srai_pi16(_mm_add_pi16(u, k.chromaBias), 2), _mm_srai_pi16(_mm_add_pi16(v, k.chromaBias), 2)};
}

}  // namespace
}  // namespace pellix
