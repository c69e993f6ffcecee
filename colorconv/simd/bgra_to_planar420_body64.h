// The MMX and SSE kernels of BGRA to planar 4:2:0 on 64-bit lanes: groups of
// 8 pixels of a row pair. Luma of every pixel; chroma of each horizontal
// pair in each row, the two rows' values combined into one byte. The kernel
// files give the instruction-set policy: how B, G and R are gathered into
// words, how the two rows' chroma combine, and the prefetch hints.
#pragma once

#include <mmintrin.h>

#include "colorconv/simd/bgra_to_planar420_lanes.h"

namespace pellix {
namespace {

constexpr int32_t kBgraGroupPixels = 8;

template <class Isa>
BgraWords GatherGroup(const uint8_t* src) {
  BgraWords w;
  Isa::GatherFour(src, w.blueLo, w.greenLo, w.redLo);
  Isa::GatherFour(src + 16, w.blueHi, w.greenHi, w.redHi);
  return w;
}

template <class Isa>
void BGRAToPlanar420PairGroups(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                               uint8_t* v, int32_t pixels) {
  const RgbToYuvLanes k = LoadRgbToYuvLanes();
  for (ptrdiff_t x = 0; x < pixels; x += kBgraGroupPixels) {
    Isa::PrefetchGroup(src0 + 4 * x, y0 + x);
    const BgraWords w0 = GatherGroup<Isa>(src0 + 4 * x);
    Isa::PrefetchGroup(src1 + 4 * x, y1 + x);
    const BgraWords w1 = GatherGroup<Isa>(src1 + 4 * x);
    Store8(y0 + x, LumaBytes(w0, k));
    Store8(y1 + x, LumaBytes(w1, k));
    const ChromaLanes c0 = PairChroma(w0, k);
    const ChromaLanes c1 = PairChroma(w1, k);
    Store4(u + x / 2, Isa::CombineRows(c0.u, c1.u));
    Store4(v + x / 2, Isa::CombineRows(c0.v, c1.v));
  }
  _mm_empty();
}

template <class Isa>
void BGRAToPlanar420LumaGroups(const uint8_t* src, uint8_t* y, int32_t pixels) {
  const RgbToYuvLanes k = LoadRgbToYuvLanes();
  for (ptrdiff_t x = 0; x < pixels; x += kBgraGroupPixels) Store8(y + x, LumaBytes(GatherGroup<Isa>(src + 4 * x), k));
  _mm_empty();
}

}  // namespace
}  // namespace pellix
