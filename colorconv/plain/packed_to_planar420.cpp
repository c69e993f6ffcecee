#include "colorconv/plain/pixel_rules.h"
#include "formats/planar_layout.h"
#include "colorconv/plain/plain_routines.h"
#include "formats/packed422_order.h"

namespace pellix {
namespace {

// Luma is copied for every pixel of width x height. Chroma sample (j, k) is
// the vertical average of macropixel j of rows 2k and 2k+1, rounding down;
// a last odd row or column has no chroma place in the planes and gives luma
// only.
template <class Layout>
void PackedRowsToPlanar(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY,
                        uint8_t* dstU, uint8_t* dstV, int32_t dstYStride) {
  constexpr Packed422Order o = Layout::kOrder;
  if (width < 2 || height < 2) return;
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* in = src + plain::RowOffset(row, srcPitch);
    uint8_t* lumaOut = dstY + plain::RowOffset(row, dstYStride);
    for (int32_t x = 0; x < width; x += 2) {
      const uint8_t* group = in + 2 * x;
      lumaOut[x] = group[o.luma0];
      if (x + 1 < width) lumaOut[x + 1] = group[o.luma1];
    }
    if (row % 2 == 0) continue;
    const uint8_t* above = in - srcPitch;
    const ptrdiff_t chromaOffset =
        static_cast<ptrdiff_t>(ChromaRowOffset(row / 2, dstYStride, ChromaRowRule::HalvedStride));
    for (int32_t j = 0; j < width / 2; ++j) {
      dstU[chromaOffset + j] = static_cast<uint8_t>((above[4 * j + o.u] + in[4 * j + o.u]) >> 1);
      dstV[chromaOffset + j] = static_cast<uint8_t>((above[4 * j + o.v] + in[4 * j + o.v]) >> 1);
    }
  }
}

}  // namespace

int32_t YUY2ToPlanar420(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY,
                        uint8_t* dstU, uint8_t* dstV, int32_t dstYStride, int32_t /*flip*/, int32_t /*interlaced*/) {
  PackedRowsToPlanar<YUY2Layout>(width, height, src, srcPitch, dstY, dstU, dstV, dstYStride);
  return 0;
}

int32_t UYVYToPlanar420(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY,
                        uint8_t* dstU, uint8_t* dstV, int32_t dstYStride, int32_t /*flip*/, int32_t /*interlaced*/) {
  PackedRowsToPlanar<UYVYLayout>(width, height, src, srcPitch, dstY, dstU, dstV, dstYStride);
  return 0;
}

}  // namespace pellix
