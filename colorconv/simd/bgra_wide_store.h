// The output stage of the wide YUV-to-BGRA kernels: B, G and R of one group
// of Isa::kBytes pixels, as words, packed to bytes with unsigned saturation
// (which is also the plain routines' clip table) and interleaved with alpha
// 255 into four vectors of BGRA pixels.
//
// The inputs are dealt out over the 128-bit lanes (see DealDwords in the
// policies): word w of lane l of the first vector of a channel belongs to
// 4-pixel block (w / 4) * lanes + l of the group, of the second vector to
// block (2 + w / 4) * lanes + l. So pack and unpack, which stay within their
// lanes, leave each stored vector as one run of consecutive pixels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pellix {
namespace {

template <class Isa, bool kStream>
inline void PutVector(uint8_t* p, typename Isa::V v) {
  if (kStream)
    Isa::Stream(p, v);
  else
    Isa::Store(p, v);
}

template <class Isa, bool kStream>
inline void StoreBgraGroup(uint8_t* out, typename Isa::V blue0, typename Isa::V blue1, typename Isa::V green0,
                           typename Isa::V green1, typename Isa::V red0, typename Isa::V red1) {
  using V = typename Isa::V;
  const V blue = Isa::PackUS16(blue0, blue1);
  const V green = Isa::PackUS16(green0, green1);
  const V red = Isa::PackUS16(red0, red1);
  const V alpha = Isa::Bytes(0xFF);
  const V bgLo = Isa::UnpackLo8(blue, green);
  const V bgHi = Isa::UnpackHi8(blue, green);
  const V raLo = Isa::UnpackLo8(red, alpha);
  const V raHi = Isa::UnpackHi8(red, alpha);
  PutVector<Isa, kStream>(out, Isa::UnpackLo16(bgLo, raLo));
  PutVector<Isa, kStream>(out + Isa::kBytes, Isa::UnpackHi16(bgLo, raLo));
  PutVector<Isa, kStream>(out + 2 * Isa::kBytes, Isa::UnpackLo16(bgHi, raHi));
  PutVector<Isa, kStream>(out + 3 * Isa::kBytes, Isa::UnpackHi16(bgHi, raHi));
}

// Whether a row takes stores that bypass the caches: when the walk asks for
// them and the row start allows aligned vector stores (every store of the
// row then is aligned: a group is four vectors). The caller follows such
// stores with Isa::Fence().
template <class Isa>
inline bool StreamsTo(const uint8_t* dst, bool stream) {
  return stream && reinterpret_cast<uintptr_t>(dst) % Isa::kBytes == 0;
}

}  // namespace
}  // namespace pellix
