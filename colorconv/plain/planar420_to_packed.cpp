#include "formats/planar_layout.h"
#include "colorconv/plain/pixel_rules.h"
#include "colorconv/plain/plain_routines.h"
#include "formats/packed422_order.h"

namespace pellix {
namespace {

// Samples are copied unclamped. Every pixel of width x height is written; a
// last odd row or column reads the nearest chroma sample inside the planes,
// and with an odd width the last macropixel repeats the last luma sample in
// place of the pixel beyond the width. The luma offset wraps modulo 256.
template <class Layout>
void PlanarToPackedRows(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                        int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height, int32_t dstStride,
                        uint32_t lumaOffset, int32_t interlaced) {
  constexpr Packed422Order o = Layout::kOrder;
  if (width < 2 || height < 2) return;
  for (int32_t row = 0; row < height; ++row) {
    const int32_t chromaRow = ChromaRowForLumaRow(row, height, interlaced);
    const uint8_t* lumaRow = srcY + plain::RowOffset(row, srcYStride);
    const uint8_t* uRow = srcU + plain::RowOffset(chromaRow, srcChromaStride);
    const uint8_t* vRow = srcV + plain::RowOffset(chromaRow, srcChromaStride);
    uint8_t* out = dst + plain::RowOffset(row, 2 * static_cast<int64_t>(dstStride));
    // Whole pairs need no clamping, which leaves a loop the compiler vectorises.
    const int32_t pairs = width / 2;
    for (int32_t j = 0; j < pairs; ++j) {
      uint8_t* group = out + 4 * j;
      group[o.luma0] = static_cast<uint8_t>(lumaRow[2 * j] + lumaOffset);
      group[o.u] = uRow[j];
      group[o.luma1] = static_cast<uint8_t>(lumaRow[2 * j + 1] + lumaOffset);
      group[o.v] = vRow[j];
    }
    if (width & 1) {
      const int32_t x = width - 1;
      const int32_t column = ChromaColumnForPixel(x, width);
      uint8_t* group = out + 2 * x;
      group[o.luma0] = static_cast<uint8_t>(lumaRow[x] + lumaOffset);
      group[o.u] = uRow[column];
      group[o.luma1] = static_cast<uint8_t>(lumaRow[x] + lumaOffset);
      group[o.v] = vRow[column];
    }
  }
}

}  // namespace

// The adjustment block is not read: YUY2 output carries the samples as they are.
void Planar420ToYUY2(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                     int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height, int32_t dstStride,
                     const ColorAdjustment* /*adjust*/, int32_t interlaced) {
  PlanarToPackedRows<YUY2Layout>(srcY, srcYStride, srcU, srcV, srcChromaStride, dst, width, height, dstStride, 0,
                                 interlaced);
}

void Planar420ToUYVY(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                     int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height, int32_t dstStride,
                     const ColorAdjustment* adjust, int32_t interlaced) {
  const uint32_t offset = adjust != nullptr ? static_cast<uint32_t>(adjust->lumaOffset) : 0u;
  PlanarToPackedRows<UYVYLayout>(srcY, srcYStride, srcU, srcV, srcChromaStride, dst, width, height, dstStride, offset,
                                 interlaced);
}

}  // namespace pellix
