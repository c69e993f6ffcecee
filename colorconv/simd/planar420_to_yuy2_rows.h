// Which rows the slot-0 variants convert together. Two rows that read the
// same chroma row are converted in one pass (luma rows 2k, 2k+1 progressive;
// 4m, 4m+2 and 4m+1, 4m+3 field-wise); a row without such a partner inside
// the frame (an odd last row, the last rows of a field-wise frame whose half
// height is odd) is converted alone. Every row 0..height-1 is written once,
// with chroma row ChromaRowForLumaRow, so nothing past either plane is read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/planar_layout.h"

namespace pellix {

struct Planar420Rows {
  const uint8_t* y0;
  const uint8_t* y1;  // null when the row is converted alone
  const uint8_t* u;
  const uint8_t* v;
  uint8_t* d0;
  uint8_t* d1;  // null with y1
};

// height >= 2. dstRowBytes is the byte distance of output rows.
template <class Kernel>
void ForEachPlanar420ToPackedRowPair(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                                     int32_t srcChromaStride, uint8_t* dst, int64_t dstRowBytes, int32_t height,
                                     int32_t interlaced, Kernel&& kernel) {
  const bool fieldWise = interlaced == 1;
  auto lumaRow = [&](int32_t r) { return srcY + static_cast<ptrdiff_t>(int64_t{r} * srcYStride); };
  auto dstRow = [&](int32_t r) { return dst + static_cast<ptrdiff_t>(int64_t{r} * dstRowBytes); };
  auto chromaOffset = [&](int32_t r) {
    return static_cast<ptrdiff_t>(int64_t{ChromaRowForLumaRow(r, height, interlaced)} * srcChromaStride);
  };
  auto pair = [&](int32_t r0, int32_t r1) {
    const ptrdiff_t c = chromaOffset(r0);
    kernel(Planar420Rows{lumaRow(r0), lumaRow(r1), srcU + c, srcV + c, dstRow(r0), dstRow(r1)});
  };
  auto single = [&](int32_t r) {
    const ptrdiff_t c = chromaOffset(r);
    kernel(Planar420Rows{lumaRow(r), nullptr, srcU + c, srcV + c, dstRow(r), nullptr});
  };

  int32_t next = 0;  // first row not yet converted
  if (fieldWise) {
    for (; next + 3 < height; next += 4) {
      pair(next, next + 2);
      pair(next + 1, next + 3);
    }
  } else {
    for (; next + 1 < height; next += 2) pair(next, next + 1);
  }
  for (; next < height; ++next) single(next);
}

}  // namespace pellix
