// The gain-and-offset step that the planar-to-packed variants apply to every
// sample. Lanes: the byte at position p of a row (luma) or chroma column p
// meets lane p & 3 of the packed fields, as the kernels' unpacking does.
#pragma once

#include <cstdint>

#include "colorconv/routines.h"
#include "tests/simd/models/lane_arithmetic.h"

namespace pellix {

// Centre x at 0, scale by gain / 256 (floored), add the offset with wrapping,
// saturate to a signed byte and move the centre back to 128. Gain 256 and
// offset 0 return x for every x.
inline uint8_t AdjustSample(uint8_t x, int16_t gain, int16_t offset) {
  const int16_t centred = static_cast<int16_t>(static_cast<int8_t>(x ^ 0x80) * 256);
  const int16_t scaled = AddWrap(MulHigh(centred, gain), offset);
  return static_cast<uint8_t>(static_cast<uint8_t>(PackSigned(scaled)) ^ 0x80);
}

inline uint8_t AdjustLuma(uint8_t y, const ColorAdjustment& adjust, int32_t x) {
  return AdjustSample(y, adjust.lumaGainPacked[x & 3], adjust.lumaOffsetPacked[x & 3]);
}

inline uint8_t AdjustChroma(uint8_t c, const ColorAdjustment& adjust, int32_t column) {
  return AdjustSample(c, adjust.chromaGainPacked[column & 3], 0);
}

inline const ColorAdjustment& AdjustmentOrIdentity(const ColorAdjustment* adjust) {
  return adjust ? *adjust : kIdentityAdjustment;
}

}  // namespace pellix
