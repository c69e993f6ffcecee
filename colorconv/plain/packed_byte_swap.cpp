#include <cstring>

#include "colorconv/plain/pixel_rules.h"
#include "colorconv/plain/plain_routines.h"

namespace pellix {

// Bytes 0 1 2 3 of each macropixel become 1 0 3 2 over the whole source
// pitch: a swap of the bytes in each 16-bit half of a little-endian word,
// which the compiler vectorises. One operation serves both directions.
int32_t YUY2ToUYVY(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t height,
                   int32_t /*width: the whole pitch is converted*/) {
  const int64_t groups = (2 * static_cast<int64_t>(srcStride)) / 4;
  if (height <= 0 || groups <= 0) return 0;
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* in = src + plain::RowOffset(row, 2 * static_cast<int64_t>(srcStride));
    uint8_t* out = dst + plain::RowOffset(row, 2 * static_cast<int64_t>(dstStride));
    for (int64_t i = 0; i < 4 * groups; i += 4) {
      uint32_t group;
      std::memcpy(&group, in + i, 4);
      group = ((group >> 8) & 0x00FF00FFu) | ((group << 8) & 0xFF00FF00u);
      std::memcpy(out + i, &group, 4);
    }
  }
  return 0;
}

}  // namespace pellix
