// The output stage of the wide YUV-to-BGRA kernels: B, G and R of one group
// of Reg::kBytes pixels, as words, packed to bytes with unsigned saturation
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

template <class Reg, bool kStream>
inline void StoreBgraGroup(uint8_t* out, typename Reg::V blue0, typename Reg::V blue1, typename Reg::V green0,
                           typename Reg::V green1, typename Reg::V red0, typename Reg::V red1) {
  using V = typename Reg::V;
  const V blue = Reg::PackWordsUnsigned(blue0, blue1);
  const V green = Reg::PackWordsUnsigned(green0, green1);
  const V red = Reg::PackWordsUnsigned(red0, red1);
  const V alpha = Reg::Bytes(0xFF);
  const V bgLo = Reg::InterleaveLowBytes(blue, green);
  const V bgHi = Reg::InterleaveHighBytes(blue, green);
  const V raLo = Reg::InterleaveLowBytes(red, alpha);
  const V raHi = Reg::InterleaveHighBytes(red, alpha);
  Put<Reg, kStream>(out, Reg::InterleaveLowWords(bgLo, raLo));
  Put<Reg, kStream>(out + Reg::kBytes, Reg::InterleaveHighWords(bgLo, raLo));
  Put<Reg, kStream>(out + 2 * Reg::kBytes, Reg::InterleaveLowWords(bgHi, raHi));
  Put<Reg, kStream>(out + 3 * Reg::kBytes, Reg::InterleaveHighWords(bgHi, raHi));
}

}  // namespace
}  // namespace pellix
