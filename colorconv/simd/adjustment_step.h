// The adjustment step of the SSE2 and MMX planar-to-packed kernels, on every
// byte of a register: flip the top bit, widen to s * 256, multiply-high by
// the 8.8 gain, add the offset (wrapping), narrow with signed saturation,
// flip back. Kernels that reproduce those routines share this one copy.
// Included only by kernel files, so it has internal linkage.
#pragma once

namespace pellix {
namespace {

template <class Isa>
typename Isa::V AdjustBytes(typename Isa::V bytes, typename Isa::V gain, typename Isa::V offset) {
  using V = typename Isa::V;
  const V centre = Isa::Bytes(0x80);
  const V centred = Isa::Xor(bytes, centre);
  const V lo = Isa::AddWords(Isa::MulHighWords(Isa::InterleaveLowBytes(Isa::Zero(), centred), gain), offset);
  const V hi = Isa::AddWords(Isa::MulHighWords(Isa::InterleaveHighBytes(Isa::Zero(), centred), gain), offset);
  return Isa::Xor(Isa::PackWordsSigned(lo, hi), centre);
}

}  // namespace
}  // namespace pellix
