// The MMX and SSE kernels of planar 4:2:0 to YUY2 on 64-bit lanes: groups of
// 16 pixels, every sample through the adjustment step. The kernel files give
// the instruction-set policy: how 8 bytes are stored and whether the output
// is prefetched.
#pragma once

#include <mmintrin.h>

#include "colorconv/simd/lanes64.h"

namespace pellix {
namespace {

template <class Isa>
void Planar420ToYUY2Groups(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                           const ColorAdjustment& adjust, bool stream) {
  const MmxAdjustment a = LoadMmxAdjustment(adjust);
  const __m64 noOffset = _mm_setzero_si64();
  for (ptrdiff_t x = 0; x < pixels; x += 16) {
    const __m64 uBytes = AdjustBytes<Mm>(Load8(u + x / 2), a.chromaGain, noOffset);
    const __m64 vBytes = AdjustBytes<Mm>(Load8(v + x / 2), a.chromaGain, noOffset);
    const __m64 uvLo = _mm_unpacklo_pi8(uBytes, vBytes);
    const __m64 uvHi = _mm_unpackhi_pi8(uBytes, vBytes);
    uint8_t* out = d + 2 * x;
    Isa::PrefetchOutput(out);
    const __m64 y0 = AdjustBytes<Mm>(Load8(y + x), a.lumaGain, a.lumaOffset);
    const __m64 y1 = AdjustBytes<Mm>(Load8(y + x + 8), a.lumaGain, a.lumaOffset);
    Isa::Store(out, _mm_unpacklo_pi8(y0, uvLo), stream);
    Isa::Store(out + 8, _mm_unpackhi_pi8(y0, uvLo), stream);
    Isa::Store(out + 16, _mm_unpacklo_pi8(y1, uvHi), stream);
    Isa::Store(out + 24, _mm_unpackhi_pi8(y1, uvHi), stream);
  }
  Isa::Finish(stream);
}

}  // namespace
}  // namespace pellix
