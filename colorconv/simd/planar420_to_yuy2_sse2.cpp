#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "colorconv/simd/adjustment_step.h"
#include "colorconv/simd/row_kernels.h"
#include "colorconv/simd/vector_registers.h"

namespace pellix {
namespace {

// The adjustment lanes widened to 16 bytes (each 4-lane group twice).
struct XmmAdjustment {
  __m128i lumaOffset;
  __m128i lumaGain;
  __m128i chromaGain;
};

__m128i Widen(const int16_t lanes[4]) {
  int64_t group;
  std::memcpy(&group, lanes, 8);
  return _mm_set1_epi64x(group);
}

XmmAdjustment LoadXmmAdjustment(const ColorAdjustment& adjust) {
  return {Widen(adjust.lumaOffsetPacked), Widen(adjust.lumaGainPacked), Widen(adjust.chromaGainPacked)};
}

// Groups of 16 pixels: 16 luma, 8 U and 8 V bytes to 32 output bytes. The
// identity record skips the arithmetic altogether.
template <bool kIdentity, bool kStream>
void Groups(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels, const XmmAdjustment& a) {
  const __m128i noOffset = _mm_setzero_si128();
  for (ptrdiff_t x = 0; x < pixels; x += 16) {
    __m128i uBytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(u + x / 2));
    __m128i vBytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(v + x / 2));
    __m128i luma = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + x));
    if (!kIdentity) {
      uBytes = AdjustBytes<Xmm>(uBytes, a.chromaGain, noOffset);
      vBytes = AdjustBytes<Xmm>(vBytes, a.chromaGain, noOffset);
      luma = AdjustBytes<Xmm>(luma, a.lumaGain, a.lumaOffset);
    }
    const __m128i uv = _mm_unpacklo_epi8(uBytes, vBytes);
    Put<Xmm, kStream>(d + 2 * x, _mm_unpacklo_epi8(luma, uv));
    Put<Xmm, kStream>(d + 2 * x + 16, _mm_unpackhi_epi8(luma, uv));
  }
}

}  // namespace

// Streaming stores need 16-byte aligned output; an unaligned row takes
// ordinary stores and gives the same bytes.
void Planar420ToYUY2Row_SSE2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                             const ColorAdjustment& adjust, bool stream) {
  const XmmAdjustment a = LoadXmmAdjustment(adjust);
  const bool streamed = stream && (reinterpret_cast<uintptr_t>(d) & 15) == 0;
  if (adjust.isIdentity == 1) {
    streamed ? Groups<true, true>(y, u, v, d, pixels, a) : Groups<true, false>(y, u, v, d, pixels, a);
  } else {
    streamed ? Groups<false, true>(y, u, v, d, pixels, a) : Groups<false, false>(y, u, v, d, pixels, a);
  }
  if (streamed) _mm_sfence();
}

}  // namespace pellix
