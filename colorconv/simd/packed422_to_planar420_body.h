// The wide kernels of YUY2 and UYVY to planar 4:2:0, one body for both
// layouts and every vector width. Per step of V::kBytes pixels of a row
// pair: each row's luma bytes are its even (YUY2) or odd (UYVY) bytes; its
// chroma bytes are the others, the two rows combined byte by byte before
// they are split into U and V. How they combine is what each slot's
// reference does:
// - YUY2 (slot 6) as its SSE kernel: the rounding average (a + b + 1) >> 1;
// - UYVY (slot 7) as the plain routine: the truncating average (a + b) >> 1,
//   computed as 255 - rounding average of (255 - a, 255 - b).
// The frame walk hands over a multiple of 16 pixels; the widest vectors
// cover most of it and each narrower width what is left.
#pragma once

#include <cstddef>
#include <cstdint>

#include "colorconv/simd/byte_vectors.h"

namespace pellix {
namespace {

enum class Packed422Source { YUY2, UYVY };
enum class RowAverage { Rounding, Truncating };

template <class V, Packed422Source kLayout>
struct Macropixels {
  using T = typename V::T;
  // Luma, or chroma, bytes of each 16-bit word, as words.
  static T LumaWords(T s) { return kLayout == Packed422Source::YUY2 ? LowBytes(s) : V::HighBytesOfWords(s); }
  static T ChromaWords(T s) { return kLayout == Packed422Source::YUY2 ? V::HighBytesOfWords(s) : LowBytes(s); }
  static T LowBytes(T s) { return V::And(s, V::Words(0x00FF)); }
  // 2 * V::kBytes source bytes to V::kBytes luma bytes.
  static T Luma(const uint8_t* s) { return V::PackInOrder(LumaWords(V::Load(s)), LumaWords(V::Load(s + V::kBytes))); }
};

template <class V, RowAverage kAverage>
typename V::T CombineRows(typename V::T a, typename V::T b) {
  if (kAverage == RowAverage::Rounding) return V::AverageBytes(a, b);
  const typename V::T ones = V::Bytes(0xFF);
  return V::Xor(V::AverageBytes(V::Xor(a, ones), V::Xor(b, ones)), ones);
}

template <Packed422Source kLayout, RowAverage kAverage, class V, class... Narrower>
void PairSteps(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u, uint8_t* v, ptrdiff_t x,
               ptrdiff_t pixels) {
  using M = Macropixels<V, kLayout>;
  for (; x + V::kBytes <= pixels; x += V::kBytes) {
    const uint8_t* a = src0 + 2 * x;
    const uint8_t* b = src1 + 2 * x;
    const typename V::T a0 = V::Load(a), a1 = V::Load(a + V::kBytes);
    const typename V::T b0 = V::Load(b), b1 = V::Load(b + V::kBytes);
    V::Store(y0 + x, V::PackInOrder(M::LumaWords(a0), M::LumaWords(a1)));
    V::Store(y1 + x, V::PackInOrder(M::LumaWords(b0), M::LumaWords(b1)));
    // U V U V ..., then all U bytes followed by all V bytes.
    const typename V::T uv = V::PackInOrder(M::ChromaWords(CombineRows<V, kAverage>(a0, b0)),
                                            M::ChromaWords(CombineRows<V, kAverage>(a1, b1)));
    V::StoreHalves(u + x / 2, v + x / 2, V::PackInOrder(M::LowBytes(uv), V::HighBytesOfWords(uv)));
  }
  if constexpr (sizeof...(Narrower) > 0) PairSteps<kLayout, kAverage, Narrower...>(src0, src1, y0, y1, u, v, x, pixels);
}

template <Packed422Source kLayout, class V, class... Narrower>
void LumaSteps(const uint8_t* src, uint8_t* y, ptrdiff_t x, ptrdiff_t pixels) {
  for (; x + V::kBytes <= pixels; x += V::kBytes) V::Store(y + x, Macropixels<V, kLayout>::Luma(src + 2 * x));
  if constexpr (sizeof...(Narrower) > 0) LumaSteps<kLayout, Narrower...>(src, y, x, pixels);
}

}  // namespace
}  // namespace pellix
