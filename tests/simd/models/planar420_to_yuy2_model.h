// Scalar arithmetic of the Planar420ToYUY2 variants (planar 4:2:0 to YUY2),
// written apart from the kernels: the reference the tests compare them with.
#pragma once

#include <cstdint>

#include "formats/packed422_order.h"
#include "formats/planar_layout.h"
#include "tests/simd/models/adjustment_model.h"

namespace pellix {

// Writes the macropixels of pixels [xBegin, width) of one row; xBegin is
// even. With odd width the last macropixel repeats the last pixel's luma.
// passThrough copies samples unchanged (the identity path of the SSE2
// variant); otherwise every sample takes the adjustment step.
inline void Planar420ToYUY2RowModel(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int32_t xBegin,
                                    int32_t width, const ColorAdjustment& adjust, bool passThrough) {
  constexpr Packed422Order o = YUY2Layout::kOrder;
  for (int32_t x = xBegin; x < width; x += 2) {
    const int32_t column = ChromaColumnForPixel(x, width);
    uint8_t* out = dst + 2 * static_cast<int64_t>(x);
    const bool hasSecond = x + 1 < width;
    if (passThrough) {
      out[o.luma0] = y[x];
      out[o.u] = u[column];
      out[o.luma1] = hasSecond ? y[x + 1] : y[x];
      out[o.v] = v[column];
    } else {
      out[o.luma0] = AdjustLuma(y[x], adjust, x);
      out[o.u] = AdjustChroma(u[column], adjust, column);
      out[o.luma1] = hasSecond ? AdjustLuma(y[x + 1], adjust, x + 1) : out[o.luma0];
      out[o.v] = AdjustChroma(v[column], adjust, column);
    }
  }
}

}  // namespace pellix
