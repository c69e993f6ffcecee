#include "colorconv/simd/planar_destination_rows.h"
#include "colorconv/simd/simd_routines.h"
#include "colorconv/simd/yuy2_to_planar420_model.h"

namespace pellix {

// flip and interlaced are always 0 from the frame converters; the source is
// read top-down and the chroma planes are filled progressively.
int32_t YUY2ToPlanar420_MMX(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY,
                            uint8_t* dstU, uint8_t* dstV, int32_t dstYStride, int32_t /*flip*/,
                            int32_t /*interlaced*/) {
  if (width < 2 || height < 2) return 0;
  ForEachPlanarDestinationRow(height, src, srcPitch, dstY, dstU, dstV, dstYStride, ChromaRowRule::HalvedStride,
                              [&](const PlanarDestinationRow& row) {
                                YUY2ToPlanar420RowModel(row, 0, width, SecondRowAverage::Truncating);
                              });
  return 0;
}

}  // namespace pellix
