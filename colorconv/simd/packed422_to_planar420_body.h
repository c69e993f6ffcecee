// The wide kernels of YUY2 and UYVY to planar 4:2:0, one body for both
// layouts and every vector width. Per step of Reg::kBytes pixels of a row
// pair: each row's luma bytes are its even (YUY2) or odd (UYVY) bytes; its
// chroma bytes are the others, the two rows combined byte by byte before
// they are split into U and V. How they combine gives the bytes of each
// slot's reference variant:
// - YUY2: the rounding average (a + b + 1) >> 1 (the SSE variant's bytes);
// - UYVY: the truncating average (a + b) >> 1 (the plain routine's bytes),
//   computed as 255 - rounding average of (255 - a, 255 - b).
// The frame walk hands over a multiple of 16 pixels; the widest vectors
// cover most of it and each narrower width what is left.
#pragma once

#include <cstddef>
#include <cstdint>

#include "colorconv/simd/row_prefetch.h"
#include "colorconv/simd/vector_registers.h"
#include "colorconv/simd/widest_first.h"
#include "formats/packed422_order.h"

namespace pellix {
namespace {

enum class RowAverage { Rounding, Truncating };

template <class Reg, class Layout>
struct Macropixels {
  using V = typename Reg::V;
  // Luma, or chroma, bytes of each 16-bit word, as words.
  static V LumaWords(V s) { return Layout::kOrder.LumaFirst() ? LowBytes(s) : HighBytes(s); }
  static V ChromaWords(V s) { return Layout::kOrder.LumaFirst() ? HighBytes(s) : LowBytes(s); }
  static V LowBytes(V s) { return Reg::And(s, Reg::Words(0x00FF)); }
  static V HighBytes(V s) { return Reg::template ShiftRightWords<8>(s); }
  // 2 * Reg::kBytes source bytes to Reg::kBytes luma bytes.
  static V Luma(const uint8_t* s) {
    return Reg::PackWordsUnsignedInOrder(LumaWords(Reg::Load(s)), LumaWords(Reg::Load(s + Reg::kBytes)));
  }
};

template <class Reg, RowAverage kAverage>
typename Reg::V CombineRows(typename Reg::V a, typename Reg::V b) {
  if (kAverage == RowAverage::Rounding) return Reg::AverageBytes(a, b);
  const typename Reg::V ones = Reg::Bytes(0xFF);
  return Reg::Xor(Reg::AverageBytes(Reg::Xor(a, ones), Reg::Xor(b, ones)), ones);
}

// One step of a row pair at pixel x.
template <class Layout, RowAverage kAverage, class Reg>
PELLIX_WIDE_INLINE void PairStep(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                                 uint8_t* v, ptrdiff_t x) {
  using M = Macropixels<Reg, Layout>;
  const uint8_t* a = src0 + 2 * x;
  const uint8_t* b = src1 + 2 * x;
  const typename Reg::V a0 = Reg::Load(a), a1 = Reg::Load(a + Reg::kBytes);
  const typename Reg::V b0 = Reg::Load(b), b1 = Reg::Load(b + Reg::kBytes);
  Reg::Store(y0 + x, Reg::PackWordsUnsignedInOrder(M::LumaWords(a0), M::LumaWords(a1)));
  Reg::Store(y1 + x, Reg::PackWordsUnsignedInOrder(M::LumaWords(b0), M::LumaWords(b1)));
  // U V U V ..., then all U bytes followed by all V bytes.
  const typename Reg::V uv = Reg::PackWordsUnsignedInOrder(M::ChromaWords(CombineRows<Reg, kAverage>(a0, b0)),
                                                           M::ChromaWords(CombineRows<Reg, kAverage>(a1, b1)));
  const typename Reg::V planes = Reg::PackWordsUnsignedInOrder(M::LowBytes(uv), M::HighBytes(uv));
  Reg::StoreLowHalf(u + x / 2, planes);
  Reg::StoreHighHalf(v + x / 2, planes);
}

// The whole steps of one width from pixel x; returns where they stop.
template <class Layout, RowAverage kAverage, class Reg>
ptrdiff_t PairStepsOf(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u, uint8_t* v,
                      ptrdiff_t x, ptrdiff_t pixels) {
  for (; PrefetchStaysInRow(2 * x, 2 * Reg::kBytes, 2 * pixels); x += Reg::kBytes) {
    PrefetchRowPairAhead(src0, src1, 2 * x, 2 * Reg::kBytes);
    PairStep<Layout, kAverage, Reg>(src0, src1, y0, y1, u, v, x);
  }
  for (; x + Reg::kBytes <= pixels; x += Reg::kBytes) PairStep<Layout, kAverage, Reg>(src0, src1, y0, y1, u, v, x);
  return x;
}

// A row pair with each of Widths in turn, widest first.
template <class Layout, RowAverage kAverage, class... Widths>
void PairSteps(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u, uint8_t* v,
               ptrdiff_t pixels) {
  WidestFirst<Widths...>(0, [&](auto width, ptrdiff_t x) {
    return PairStepsOf<Layout, kAverage, decltype(width)>(src0, src1, y0, y1, u, v, x, pixels);
  });
}

// The luma of one row with each of Widths in turn, widest first.
template <class Layout, class... Widths>
void LumaSteps(const uint8_t* src, uint8_t* y, ptrdiff_t pixels) {
  WidestFirst<Widths...>(0, [&](auto width, ptrdiff_t x) {
    using Reg = decltype(width);
    for (; x + Reg::kBytes <= pixels; x += Reg::kBytes) Reg::Store(y + x, Macropixels<Reg, Layout>::Luma(src + 2 * x));
    return x;
  });
}

}  // namespace
}  // namespace pellix
