// Scalar arithmetic of Planar420ToBGRA_MMX: 13-bit coefficients applied by
// multiply-high to inputs scaled by 32, one flooring per product, a single
// rounding (+2, arithmetic >> 2) and an unsigned pack. The inputs are not
// clamped: luma below 16 acts as 16 and there is no upper clamp.
#pragma once

#include <cstdint>

#include "colorconv/simd/simd_constants.h"
#include "formats/planar_layout.h"
#include "tests/simd/models/adjustment_model.h"

namespace pellix {

// y, u, v are the samples after the adjustment step; out receives B, G, R, A.
inline void YuvToBgraMmx(uint8_t y, uint8_t u, uint8_t v, uint8_t* out) {
  const YuvToRgbConstantBlock& k = YuvToRgbConstants;
  const int16_t yd = static_cast<int16_t>(y > k.blackLevel[0] ? y - k.blackLevel[0] : 0);
  const int16_t cu = static_cast<int16_t>((u - k.chromaCentre[0]) * 32);
  const int16_t cv = static_cast<int16_t>((v - k.chromaCentre[0]) * 32);
  const int16_t yt = MulHigh(static_cast<int16_t>(yd * 32), k.lumaGain[0]);
  const int16_t rv = MulHigh(cv, k.vToRed[0]);
  const int16_t gu = MulHigh(cu, k.uToGreen[0]);
  const int16_t gv = MulHigh(cv, k.vToGreen[0]);
  const int16_t bu = MulHigh(cu, k.uToBlue[0]);
  const int16_t round = k.rounding[0];
  out[0] = PackUnsigned(ShiftRightArithmetic(AddSaturate(AddSaturate(yt, bu), round), 2));
  out[1] = PackUnsigned(ShiftRightArithmetic(AddSaturate(AddSaturate(yt, AddSaturate(gu, gv)), round), 2));
  out[2] = PackUnsigned(ShiftRightArithmetic(AddSaturate(AddSaturate(yt, rv), round), 2));
  out[3] = 255;
}

// Pixels [xBegin, width) of one row, raw samples, adjustment included; an odd
// last pixel reads the nearest chroma column inside the plane.
inline void Planar420ToBGRARowModel(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int32_t xBegin,
                                    int32_t width, const ColorAdjustment& adjust) {
  for (int32_t x = xBegin; x < width; ++x) {
    const int32_t column = ChromaColumnForPixel(x, width);
    YuvToBgraMmx(AdjustLuma(y[x], adjust, x), AdjustChroma(u[column], adjust, column),
                 AdjustChroma(v[column], adjust, column), dst + 4 * static_cast<int64_t>(x));
  }
}

}  // namespace pellix
