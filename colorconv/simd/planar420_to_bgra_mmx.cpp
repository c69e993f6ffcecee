#include <cstddef>

#include "colorconv/chroma_rows.h"
#include "colorconv/simd/planar420_to_bgra_model.h"
#include "colorconv/simd/simd_routines.h"

namespace pellix {

void Planar420ToBGRA_MMX(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                         int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height, int32_t dstStride,
                         const ColorAdjustment* adjustIn, int32_t interlaced) {
  // A negative height reads the source bottom-up; output is always top-down.
  const int64_t rows = height < 0 ? -int64_t{height} : int64_t{height};
  if (width < 2 || rows < 2) return;
  const int32_t h = static_cast<int32_t>(rows);
  const ColorAdjustment& adjust = AdjustmentOrIdentity(adjustIn);
  for (int32_t r = 0; r < h; ++r) {
    const int32_t srcRow = height < 0 ? h - 1 - r : r;
    const int64_t chroma = int64_t{ChromaRowForLumaRow(srcRow, h, interlaced)} * srcChromaStride;
    Planar420ToBGRARowModel(srcY + static_cast<ptrdiff_t>(int64_t{srcRow} * srcYStride),
                            srcU + static_cast<ptrdiff_t>(chroma), srcV + static_cast<ptrdiff_t>(chroma),
                            dst + static_cast<ptrdiff_t>(int64_t{r} * 4 * dstStride), 0, width, adjust);
  }
}

}  // namespace pellix
