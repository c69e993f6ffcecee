// The output stage of the wide YUV-to-BGRA kernels: B, G and R of one group
// of Isa::kBytes pixels, as words, packed to bytes with unsigned saturation
// (which is also the plain routines' clip table) and interleaved with alpha
// 255 into four vectors of BGRA pixels.
//
// The inputs are dealt out over the 128-bit lanes (see DealDwords): word w
// of lane l of the first vector of a channel belongs to 4-pixel block
// (w / 4) * lanes + l of the group, of the second vector to block
// (2 + w / 4) * lanes + l. So pack and unpack, which stay within their
// lanes, leave each stored vector as one run of consecutive pixels.
#pragma once

#include <cstdint>

#include "colorconv/simd/vector_registers.h"

namespace pellix {
namespace {

template <class Isa, bool kStream>
inline void StoreBgraGroup(uint8_t* out, typename Isa::V blue0, typename Isa::V blue1, typename Isa::V green0,
                           typename Isa::V green1, typename Isa::V red0, typename Isa::V red1) {
  using V = typename Isa::V;
  const V blue = Isa::PackWordsUnsigned(blue0, blue1);
  const V green = Isa::PackWordsUnsigned(green0, green1);
  const V red = Isa::PackWordsUnsigned(red0, red1);
  const V alpha = Isa::Bytes(0xFF);
  const V bgLo = Isa::InterleaveLowBytes(blue, green);
  const V bgHi = Isa::InterleaveHighBytes(blue, green);
  const V raLo = Isa::InterleaveLowBytes(red, alpha);
  const V raHi = Isa::InterleaveHighBytes(red, alpha);
  Put<Isa, kStream>(out, Isa::InterleaveLowWords(bgLo, raLo));
  Put<Isa, kStream>(out + Isa::kBytes, Isa::InterleaveHighWords(bgLo, raLo));
  Put<Isa, kStream>(out + 2 * Isa::kBytes, Isa::InterleaveLowWords(bgHi, raHi));
  Put<Isa, kStream>(out + 3 * Isa::kBytes, Isa::InterleaveHighWords(bgHi, raHi));
}

}  // namespace
}  // namespace pellix
