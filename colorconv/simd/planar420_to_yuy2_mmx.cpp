#include "colorconv/simd/planar420_to_yuy2_model.h"
#include "colorconv/simd/planar420_to_yuy2_rows.h"
#include "colorconv/simd/simd_routines.h"

namespace pellix {

void Planar420ToYUY2_MMX(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                         int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height, int32_t dstStride,
                         const ColorAdjustment* adjustIn, int32_t interlaced) {
  if (width < 2 || height < 2) return;
  const ColorAdjustment& adjust = AdjustmentOrIdentity(adjustIn);
  const bool passThrough = false;
  ForEachPlanar420ToPackedRowPair(srcY, srcYStride, srcU, srcV, srcChromaStride, dst, 2 * int64_t{dstStride}, height,
                                  interlaced, [&](const Planar420Rows& rows) {
                                    Planar420ToYUY2RowModel(rows.y0, rows.u, rows.v, rows.d0, 0, width, adjust,
                                                            passThrough);
                                    if (rows.y1)
                                      Planar420ToYUY2RowModel(rows.y1, rows.u, rows.v, rows.d1, 0, width, adjust,
                                                              passThrough);
                                  });
}

}  // namespace pellix
