#include "colorconv/plain/pixel_rules.h"
#include "colorconv/plain/plain_routines.h"
#include "formats/packed422_order.h"

namespace pellix {
namespace {

// Converts every whole macropixel of the source pitch, including those past
// the width; the caller guarantees the destination rows hold them.
template <class Layout>
void PackedRowsToBgra(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t height) {
  constexpr Packed422Order o = Layout::kOrder;
  const int64_t groups = (2 * static_cast<int64_t>(srcStride)) / 4;
  if (height <= 0 || groups <= 0) return;
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* in = src + plain::RowOffset(row, 2 * static_cast<int64_t>(srcStride));
    uint8_t* out = dst + plain::RowOffset(row, 4 * static_cast<int64_t>(dstStride));
    for (int64_t m = 0; m < groups; ++m) {
      const uint8_t* group = in + 4 * m;
      const plain::ChromaTerms terms = plain::ChromaTermsFor(group[o.u], group[o.v]);
      plain::WriteBgraPixel(out + 8 * m, group[o.luma0], 0, terms);
      plain::WriteBgraPixel(out + 8 * m + 4, group[o.luma1], 0, terms);
    }
  }
}

}  // namespace

int32_t YUY2ToBGRA(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t height,
                   int32_t /*width: the whole pitch is converted*/) {
  PackedRowsToBgra<YUY2Layout>(src, srcStride, dst, dstStride, height);
  return 0;
}

int32_t UYVYToBGRA(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t height,
                   int32_t /*width: the whole pitch is converted*/) {
  PackedRowsToBgra<UYVYLayout>(src, srcStride, dst, dstStride, height);
  return 0;
}

}  // namespace pellix
