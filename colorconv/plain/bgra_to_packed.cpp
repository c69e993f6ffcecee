#include "colorconv/plain/pixel_rules.h"
#include "colorconv/plain/plain_routines.h"
#include "formats/packed422_order.h"

namespace pellix {
namespace {

// Fills every whole macropixel of the destination pitch, including those past
// the width, reading as many source pixels; the caller guarantees the source
// rows hold them. The pair average rounds half up.
template <class Layout>
void BgraRowsToPacked(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t height) {
  constexpr Packed422Order o = Layout::kOrder;
  const int64_t pairs = (2 * static_cast<int64_t>(dstStride)) / 4;
  if (height <= 0 || pairs <= 0) return;
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* in = src + plain::RowOffset(row, 4 * static_cast<int64_t>(srcStride));
    uint8_t* out = dst + plain::RowOffset(row, 2 * static_cast<int64_t>(dstStride));
    for (int64_t j = 0; j < pairs; ++j) {
      const uint8_t* p0 = in + 8 * j;
      const uint8_t* p1 = p0 + 4;
      const int32_t blue = (p0[0] + p1[0] + 1) >> 1;
      const int32_t green = (p0[1] + p1[1] + 1) >> 1;
      const int32_t red = (p0[2] + p1[2] + 1) >> 1;
      uint8_t* group = out + 4 * j;
      group[o.luma0] = plain::LumaOfBgra(p0);
      group[o.u] = plain::ChromaUOf(red, green, blue);
      group[o.luma1] = plain::LumaOfBgra(p1);
      group[o.v] = plain::ChromaVOf(red, green, blue);
    }
  }
}

}  // namespace

int32_t BGRAToYUY2(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t height,
                   int32_t /*width: the whole pitch is converted*/) {
  BgraRowsToPacked<YUY2Layout>(src, srcStride, dst, dstStride, height);
  return 0;
}

int32_t BGRAToUYVY(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t height,
                   int32_t /*width: the whole pitch is converted*/) {
  BgraRowsToPacked<UYVYLayout>(src, srcStride, dst, dstStride, height);
  return 0;
}

}  // namespace pellix
