// The wide kernel of the YUY2 <-> UYVY byte swap, one body for every vector
// width: bytes 0 1 2 3 of each macropixel become 1 0 3 2, as the plain
// routine does, Reg::kBytes / 2 pixels per step. The frame walk hands over a
// multiple of 8 pixels; the widest vectors cover most of it and each
// narrower width what is left.
#pragma once

#include <cstddef>
#include <cstdint>

#include "colorconv/simd/row_stores.h"
#include "colorconv/simd/widest_first.h"

namespace pellix {
namespace {

constexpr uint8_t kBytePairsSwapped[16] = {1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14};

// The whole steps of one width from pixel x; returns where they stop.
template <bool kStream, class Reg>
ptrdiff_t SwapSteps(const uint8_t* src, uint8_t* dst, ptrdiff_t x, ptrdiff_t pixels) {
  const typename Reg::V pattern = Reg::RepeatLane(kBytePairsSwapped);
  constexpr ptrdiff_t kStep = Reg::kBytes / 2;
  // Two vectors per pass, then one: half the loop overhead on the short rows
  // (a few hundred pixels) this kernel mostly sees.
  for (; x + 2 * kStep <= pixels; x += 2 * kStep) {
    const typename Reg::V a = Reg::Load(src + 2 * x), b = Reg::Load(src + 2 * x + Reg::kBytes);
    Put<Reg, kStream>(dst + 2 * x, Reg::ShuffleBytes(a, pattern));
    Put<Reg, kStream>(dst + 2 * x + Reg::kBytes, Reg::ShuffleBytes(b, pattern));
  }
  for (; x + kStep <= pixels; x += kStep)
    Put<Reg, kStream>(dst + 2 * x, Reg::ShuffleBytes(Reg::Load(src + 2 * x), pattern));
  return x;
}

template <class Widest, class... Narrower>
void SwapRow(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  WithRowStores<Widest>(dst, stream, [&](auto stores) {
    WidestFirst<Widest, Narrower...>(0, [&](auto width, ptrdiff_t x) {
      return SwapSteps<decltype(stores)::kStreaming, decltype(width)>(src, dst, x, pixels);
    });
  });
}

}  // namespace
}  // namespace pellix
