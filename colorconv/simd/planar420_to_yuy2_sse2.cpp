#include <emmintrin.h>
#include <xmmintrin.h>

#include <cstring>

#include "colorconv/simd/planar420_to_yuy2_model.h"
#include "colorconv/simd/planar420_to_yuy2_rows.h"
#include "colorconv/simd/simd_routines.h"
#include "colorconv/simd/simd_target.h"

namespace pellix {
namespace {

constexpr int32_t kGroupPixels = 16;

// The adjustment lanes widened to 16 bytes (each 4-lane group twice).
struct XmmAdjustment {
  __m128i lumaOffset;
  __m128i lumaGain;
  __m128i chromaGain;
  __m128i centre;
};

PELLIX_TARGET_SSE2 __m128i Widen(const int16_t lanes[4]) {
  int64_t group;
  std::memcpy(&group, lanes, 8);
  return _mm_set1_epi64x(group);
}

PELLIX_TARGET_SSE2 XmmAdjustment LoadXmmAdjustment(const ColorAdjustment& adjust) {
  return {Widen(adjust.lumaOffsetPacked), Widen(adjust.lumaGainPacked), Widen(adjust.chromaGainPacked),
          _mm_set1_epi8(static_cast<char>(0x80))};
}

// The adjustment step on 16 bytes (see AdjustSample).
PELLIX_TARGET_SSE2 __m128i AdjustBytes(__m128i bytes, __m128i gain, __m128i offset, __m128i centre) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i centred = _mm_xor_si128(bytes, centre);
  const __m128i lo = _mm_add_epi16(_mm_mulhi_epi16(_mm_unpacklo_epi8(zero, centred), gain), offset);
  const __m128i hi = _mm_add_epi16(_mm_mulhi_epi16(_mm_unpackhi_epi8(zero, centred), gain), offset);
  return _mm_xor_si128(_mm_packs_epi16(lo, hi), centre);
}

template <bool kAlignedLoad>
PELLIX_TARGET_SSE2 __m128i LoadLuma(const uint8_t* p) {
  if (kAlignedLoad) return _mm_load_si128(reinterpret_cast<const __m128i*>(p));
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

template <bool kAlignedStore>
PELLIX_TARGET_SSE2 void StoreOutput(uint8_t* p, __m128i m) {
  if (kAlignedStore)
    _mm_stream_si128(reinterpret_cast<__m128i*>(p), m);
  else
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), m);
}

template <bool kAlignedLoad, bool kAlignedStore, bool kIdentity>
PELLIX_TARGET_SSE2 void WriteGroupRow(const uint8_t* y, uint8_t* d, __m128i uv, const XmmAdjustment& a) {
  __m128i luma = LoadLuma<kAlignedLoad>(y);
  if (!kIdentity) luma = AdjustBytes(luma, a.lumaGain, a.lumaOffset, a.centre);
  StoreOutput<kAlignedStore>(d, _mm_unpacklo_epi8(luma, uv));
  StoreOutput<kAlignedStore>(d + 16, _mm_unpackhi_epi8(luma, uv));
}

template <bool kAlignedLoad, bool kAlignedStore, bool kIdentity>
PELLIX_TARGET_SSE2 void ConvertGroups(const Planar420Rows& rows, int32_t groups, const XmmAdjustment& a) {
  const __m128i noOffset = _mm_setzero_si128();
  for (ptrdiff_t g = 0; g < groups; ++g) {
    __m128i u = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(rows.u + 8 * g));
    __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(rows.v + 8 * g));
    if (!kIdentity) {
      u = AdjustBytes(u, a.chromaGain, noOffset, a.centre);
      v = AdjustBytes(v, a.chromaGain, noOffset, a.centre);
    }
    const __m128i uv = _mm_unpacklo_epi8(u, v);
    WriteGroupRow<kAlignedLoad, kAlignedStore, kIdentity>(rows.y0 + kGroupPixels * g, rows.d0 + 2 * kGroupPixels * g,
                                                          uv, a);
    if (rows.y1)
      WriteGroupRow<kAlignedLoad, kAlignedStore, kIdentity>(rows.y1 + kGroupPixels * g, rows.d1 + 2 * kGroupPixels * g,
                                                            uv, a);
  }
}

using GroupKernel = void (*)(const Planar420Rows&, int32_t, const XmmAdjustment&);

template <bool kAlignedLoad, bool kAlignedStore>
GroupKernel ChooseArithmetic(bool identity) {
  return identity ? ConvertGroups<kAlignedLoad, kAlignedStore, true>
                  : ConvertGroups<kAlignedLoad, kAlignedStore, false>;
}

bool Aligned16(const void* p, int64_t rowBytes) {
  return (reinterpret_cast<uintptr_t>(p) & 15) == 0 && (rowBytes & 15) == 0;
}

}  // namespace

// One loop is chosen per call: aligned non-temporal stores when every output
// row starts on 16 bytes, aligned luma loads when every luma row does, and
// no arithmetic at all for the identity record.
PELLIX_TARGET_SSE2 void Planar420ToYUY2_SSE2(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU,
                                             const uint8_t* srcV, int32_t srcChromaStride, uint8_t* dst, int32_t width,
                                             int32_t height, int32_t dstStride, const ColorAdjustment* adjustIn,
                                             int32_t interlaced) {
  if (width < 2 || height < 2) return;
  const ColorAdjustment& adjust = AdjustmentOrIdentity(adjustIn);
  const bool identity = adjust.isIdentity == 1;
  const XmmAdjustment lanes = LoadXmmAdjustment(adjust);
  const int64_t dstRowBytes = 2 * int64_t{dstStride};
  const bool alignedLoad = Aligned16(srcY, srcYStride);
  const bool alignedStore = Aligned16(dst, dstRowBytes);
  const GroupKernel kernel =
      alignedLoad ? (alignedStore ? ChooseArithmetic<true, true>(identity) : ChooseArithmetic<true, false>(identity))
                  : (alignedStore ? ChooseArithmetic<false, true>(identity) : ChooseArithmetic<false, false>(identity));
  const int32_t groups = width / kGroupPixels;
  const int32_t tail = groups * kGroupPixels;
  ForEachPlanar420ToPackedRowPair(
      srcY, srcYStride, srcU, srcV, srcChromaStride, dst, dstRowBytes, height, interlaced,
      [&](const Planar420Rows& rows) {
        kernel(rows, groups, lanes);
        Planar420ToYUY2RowModel(rows.y0, rows.u, rows.v, rows.d0, tail, width, adjust, identity);
        if (rows.y1) Planar420ToYUY2RowModel(rows.y1, rows.u, rows.v, rows.d1, tail, width, adjust, identity);
      });
  // No MMX register is used, so no EMMS. The non-temporal stores are
  // ordered before whatever hands the frame on.
  _mm_sfence();
}

}  // namespace pellix
