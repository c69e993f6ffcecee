// Scalar arithmetic of the YUY2ToPlanar420 variants (YUY2 to planar 4:2:0): luma
// copied, chroma of the two rows of a pair combined by a truncating (MMX) or
// rounding (SSE) byte average.
#pragma once

#include <cstdint>

#include "formats/packed422_order.h"
#include "tests/simd/models/bgra_to_planar420_model.h"
#include "tests/simd/models/planar_destination_row.h"

namespace pellix {

inline uint8_t CombineChromaBytes(uint8_t c, uint8_t stored, ChromaPass pass, SecondRowAverage average) {
  if (pass == ChromaPass::First) return c;
  return average == SecondRowAverage::Rounding ? AverageRounding(stored, c) : AverageTruncating(stored, c);
}

// Pixels [xBegin, width) of one source row; xBegin is even. Reads no byte at
// or beyond 2 * width of the row (an odd last pixel contributes luma only).
inline void YUY2ToPlanar420RowModel(const PlanarDestinationRow& row, int32_t xBegin, int32_t width,
                                    SecondRowAverage average) {
  constexpr Packed422Order o = YUY2Layout::kOrder;
  for (int32_t x = xBegin; x < width; ++x) {
    row.y[x] = row.src[4 * static_cast<int64_t>(x / 2) + (x % 2 == 0 ? o.luma0 : o.luma1)];
  }
  if (row.pass == ChromaPass::None) return;
  for (int32_t j = xBegin / 2; j < width / 2; ++j) {
    const uint8_t* m = row.src + 4 * static_cast<int64_t>(j);
    row.u[j] = CombineChromaBytes(m[o.u], row.u[j], row.pass, average);
    row.v[j] = CombineChromaBytes(m[o.v], row.v[j], row.pass, average);
  }
}

}  // namespace pellix
