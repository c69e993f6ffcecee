#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "colorconv/simd/row_kernels.h"

namespace pellix {
namespace {

// The adjustment lanes widened to 16 bytes (each 4-lane group twice).
struct XmmAdjustment {
  __m128i lumaOffset;
  __m128i lumaGain;
  __m128i chromaGain;
  __m128i centre;
};

__m128i Widen(const int16_t lanes[4]) {
  int64_t group;
  std::memcpy(&group, lanes, 8);
  return _mm_set1_epi64x(group);
}

XmmAdjustment LoadXmmAdjustment(const ColorAdjustment& adjust) {
  return {Widen(adjust.lumaOffsetPacked), Widen(adjust.lumaGainPacked), Widen(adjust.chromaGainPacked),
          _mm_set1_epi8(static_cast<char>(0x80))};
}

// The adjustment step on 16 bytes: flip the top bit, widen to s * 256,
// multiply-high by the gain, add the offset, signed pack, flip back.
__m128i AdjustBytes(__m128i bytes, __m128i gain, __m128i offset, __m128i centre) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i centred = _mm_xor_si128(bytes, centre);
  const __m128i lo = _mm_add_epi16(_mm_mulhi_epi16(_mm_unpacklo_epi8(zero, centred), gain), offset);
  const __m128i hi = _mm_add_epi16(_mm_mulhi_epi16(_mm_unpackhi_epi8(zero, centred), gain), offset);
  return _mm_xor_si128(_mm_packs_epi16(lo, hi), centre);
}

template <bool kStream>
void Store16(uint8_t* p, __m128i m) {
  if (kStream)
    _mm_stream_si128(reinterpret_cast<__m128i*>(p), m);
  else
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), m);
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
      uBytes = AdjustBytes(uBytes, a.chromaGain, noOffset, a.centre);
      vBytes = AdjustBytes(vBytes, a.chromaGain, noOffset, a.centre);
      luma = AdjustBytes(luma, a.lumaGain, a.lumaOffset, a.centre);
    }
    const __m128i uv = _mm_unpacklo_epi8(uBytes, vBytes);
    Store16<kStream>(d + 2 * x, _mm_unpacklo_epi8(luma, uv));
    Store16<kStream>(d + 2 * x + 16, _mm_unpackhi_epi8(luma, uv));
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
