// Row walk shared by the variants that write planar 4:2:0 (slots 5 and 6).
// Every luma row is written; chroma row m comes from rows 2m and 2m + 1 for
// m < height / 2 only: the first row of a pair stores its chroma, the second
// combines its own with the stored bytes. A last odd row writes luma only,
// since the chroma planes hold no row for it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/planar_layout.h"

namespace pellix {

enum class ChromaPass { None, First, Second };

struct PlanarDestinationRow {
  const uint8_t* src;
  uint8_t* y;
  uint8_t* u;  // null for ChromaPass::None
  uint8_t* v;
  ChromaPass pass;
};

// height >= 1; the caller has already refused frames below 2 x 2.
template <class Kernel>
void ForEachPlanarDestinationRow(int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY, uint8_t* dstU,
                                 uint8_t* dstV, int32_t dstYStride, ChromaRowRule rule, Kernel&& kernel) {
  const int32_t chromaRows = height / 2;
  for (int32_t r = 0; r < height; ++r) {
    const int32_t m = r >> 1;
    PlanarDestinationRow row{src + static_cast<ptrdiff_t>(int64_t{r} * srcPitch),
                             dstY + static_cast<ptrdiff_t>(int64_t{r} * dstYStride), nullptr, nullptr,
                             ChromaPass::None};
    if (m < chromaRows) {
      const int64_t offset = ChromaRowOffset(m, dstYStride, rule);
      row.u = dstU + static_cast<ptrdiff_t>(offset);
      row.v = dstV + static_cast<ptrdiff_t>(offset);
      row.pass = (r & 1) ? ChromaPass::Second : ChromaPass::First;
    }
    kernel(row);
  }
}

}  // namespace pellix
