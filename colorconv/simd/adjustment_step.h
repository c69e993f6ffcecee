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
template <class Reg>
struct AdjustmentRegisters {
  using V = typename Reg::V;
  explicit AdjustmentRegisters(const ColorAdjustment& a)
      : lumaGain(Reg::Words(a.lumaGainPacked[0])),
        lumaOffset(Reg::Words(a.lumaOffsetPacked[0])),
        chromaGain(Reg::Words(a.chromaGainPacked[0])) {}
  V lumaGain, lumaOffset, chromaGain;
};

template <class Reg>
typename Reg::V AdjustBytes(typename Reg::V bytes, typename Reg::V gain, typename Reg::V offset) {
  using V = typename Reg::V;
  const V centre = Reg::Bytes(0x80);
  const V centred = Reg::Xor(bytes, centre);
  const V lo = Reg::AddWords(Reg::MulHighWords(Reg::InterleaveLowBytes(Reg::Zero(), centred), gain), offset);
  const V hi = Reg::AddWords(Reg::MulHighWords(Reg::InterleaveHighBytes(Reg::Zero(), centred), gain), offset);
  return Reg::Xor(Reg::PackWordsSigned(lo, hi), centre);
}

}  // namespace
}  // namespace pellix
