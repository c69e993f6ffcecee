// The adjustment step on every byte of a register: flip the top bit, widen
// to s * 256, multiply-high by the 8.8 gain, add the offset (wrapping),
// narrow with signed saturation, flip back. The one body for every register
// width: Mm (lanes64.h), Xmm, Ymm and Zmm (vector_registers.h).
// Included only by kernel files, so it has internal linkage.
#pragma once

#include "colorconv/routines.h"

namespace pellix {
namespace {

// The record's gains and luma offset in every word of a register; its
// packed fields have four equal lanes, so lane 0 stands for all of them.
template <class Isa>
struct AdjustmentRegisters {
  using V = typename Isa::V;
  explicit AdjustmentRegisters(const ColorAdjustment& a)
      : lumaGain(Isa::Words(a.lumaGainPacked[0])),
        lumaOffset(Isa::Words(a.lumaOffsetPacked[0])),
        chromaGain(Isa::Words(a.chromaGainPacked[0])) {}
  V lumaGain, lumaOffset, chromaGain;
};

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
