// The wide kernel of the YUY2 <-> UYVY byte swap, one body for every vector
// width: bytes 0 1 2 3 of each macropixel become 1 0 3 2, as the plain
// routine does, V::kBytes / 2 pixels per step. The frame walk hands over a
// multiple of 8 pixels; the widest vectors cover most of it and each
// narrower width what is left.
#pragma once

#include <cstddef>
#include <cstdint>

#include "colorconv/simd/byte_vectors.h"

namespace pellix {
namespace {

template <bool kStream, class V, class... Narrower>
void SwapSteps(const uint8_t* src, uint8_t* dst, ptrdiff_t x, ptrdiff_t pixels) {
  const typename V::T pattern = V::EveryLane(_mm_setr_epi8(1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14));
  constexpr ptrdiff_t kStep = V::kBytes / 2;
  // Two vectors per pass: with rows of a few hundred pixels, half the loop
  // passes measurably shorten each row.
  for (; x + 2 * kStep <= pixels; x += 2 * kStep) {
    const typename V::T a = V::Load(src + 2 * x), b = V::Load(src + 2 * x + V::kBytes);
    V::template Put<kStream>(dst + 2 * x, V::ShuffleBytes(a, pattern));
    V::template Put<kStream>(dst + 2 * x + V::kBytes, V::ShuffleBytes(b, pattern));
  }
  for (; x + kStep <= pixels; x += kStep)
    V::template Put<kStream>(dst + 2 * x, V::ShuffleBytes(V::Load(src + 2 * x), pattern));
  if constexpr (sizeof...(Narrower) > 0) SwapSteps<kStream, Narrower...>(src, dst, x, pixels);
}

template <class Widest, class... Narrower>
void SwapRow(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  WithRowStores<Widest>(dst, stream, [&](auto stores) {
    SwapSteps<decltype(stores)::kStreaming, Widest, Narrower...>(src, dst, 0, pixels);
  });
}

}  // namespace
}  // namespace pellix
