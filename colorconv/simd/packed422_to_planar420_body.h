// The wide kernels of YUY2 and UYVY to planar 4:2:0, one body for both
// layouts and every vector width. Per step of Isa::kBytes pixels of a row
// pair: each row's luma bytes are its even (YUY2) or odd (UYVY) bytes; its
// chroma bytes are the others, the two rows combined byte by byte before
// they are split into U and V. How they combine is what each slot's
// reference does:
// - YUY2 as its SSE kernel: the rounding average (a + b + 1) >> 1;
// - UYVY as the plain routine: the truncating average (a + b) >> 1,
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

template <class Isa, class Layout>
struct Macropixels {
  using V = typename Isa::V;
  // Luma, or chroma, bytes of each 16-bit word, as words.
  static V LumaWords(V s) { return Layout::kOrder.LumaFirst() ? LowBytes(s) : HighBytes(s); }
  static V ChromaWords(V s) { return Layout::kOrder.LumaFirst() ? HighBytes(s) : LowBytes(s); }
  static V LowBytes(V s) { return Isa::And(s, Isa::Words(0x00FF)); }
  static V HighBytes(V s) { return Isa::template ShiftRightWords<8>(s); }
  // 2 * Isa::kBytes source bytes to Isa::kBytes luma bytes.
  static V Luma(const uint8_t* s) {
    return Isa::PackWordsUnsignedInOrder(LumaWords(Isa::Load(s)), LumaWords(Isa::Load(s + Isa::kBytes)));
  }
};

template <class Isa, RowAverage kAverage>
typename Isa::V CombineRows(typename Isa::V a, typename Isa::V b) {
  if (kAverage == RowAverage::Rounding) return Isa::AverageBytes(a, b);
  const typename Isa::V ones = Isa::Bytes(0xFF);
  return Isa::Xor(Isa::AverageBytes(Isa::Xor(a, ones), Isa::Xor(b, ones)), ones);
}

// One step of a row pair at pixel x.
template <class Layout, RowAverage kAverage, class Isa>
PELLIX_WIDE_INLINE void PairStep(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                                 uint8_t* v, ptrdiff_t x) {
  using M = Macropixels<Isa, Layout>;
  const uint8_t* a = src0 + 2 * x;
  const uint8_t* b = src1 + 2 * x;
  const typename Isa::V a0 = Isa::Load(a), a1 = Isa::Load(a + Isa::kBytes);
  const typename Isa::V b0 = Isa::Load(b), b1 = Isa::Load(b + Isa::kBytes);
  Isa::Store(y0 + x, Isa::PackWordsUnsignedInOrder(M::LumaWords(a0), M::LumaWords(a1)));
  Isa::Store(y1 + x, Isa::PackWordsUnsignedInOrder(M::LumaWords(b0), M::LumaWords(b1)));
  // U V U V ..., then all U bytes followed by all V bytes.
  const typename Isa::V uv = Isa::PackWordsUnsignedInOrder(M::ChromaWords(CombineRows<Isa, kAverage>(a0, b0)),
                                                           M::ChromaWords(CombineRows<Isa, kAverage>(a1, b1)));
  const typename Isa::V planes = Isa::PackWordsUnsignedInOrder(M::LowBytes(uv), M::HighBytes(uv));
  Isa::StoreLowHalf(u + x / 2, planes);
  Isa::StoreHighHalf(v + x / 2, planes);
}

// The whole steps of one width from pixel x; returns where they stop.
template <class Layout, RowAverage kAverage, class Isa>
ptrdiff_t PairStepsOf(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u, uint8_t* v,
                      ptrdiff_t x, ptrdiff_t pixels) {
  for (; PrefetchStaysInRow(2 * x, 2 * Isa::kBytes, 2 * pixels); x += Isa::kBytes) {
    PrefetchRowPairAhead(src0, src1, 2 * x, 2 * Isa::kBytes);
    PairStep<Layout, kAverage, Isa>(src0, src1, y0, y1, u, v, x);
  }
  for (; x + Isa::kBytes <= pixels; x += Isa::kBytes) PairStep<Layout, kAverage, Isa>(src0, src1, y0, y1, u, v, x);
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
    using Isa = decltype(width);
    for (; x + Isa::kBytes <= pixels; x += Isa::kBytes) Isa::Store(y + x, Macropixels<Isa, Layout>::Luma(src + 2 * x));
    return x;
  });
}

}  // namespace
}  // namespace pellix
