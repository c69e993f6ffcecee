#include "colorconv/plain/pixel_rules.h"
#include "formats/planar_layout.h"
#include "colorconv/plain/plain_routines.h"

namespace pellix {

// Only even sizes are converted: chroma averages a whole 2x2 block, rounding
// half up. An odd size returns 1 with nothing written.
int32_t BGRAToPlanar420(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY,
                        uint8_t* dstU, uint8_t* dstV, int32_t dstYStride, int32_t /*flip*/,
                        int32_t /*interlaced*/) {
  if (width % 2 != 0 || height % 2 != 0) return 1;
  if (height <= 0) return 0;
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* in = src + plain::RowOffset(row, srcPitch);
    uint8_t* lumaOut = dstY + plain::RowOffset(row, dstYStride);
    if (row % 2 != 0) {
      for (int32_t x = 0; x < width; ++x) lumaOut[x] = plain::LumaOfBgra(in + 4 * x);
      continue;
    }
    const uint8_t* below = in + srcPitch;
    const ptrdiff_t chromaOffset =
        static_cast<ptrdiff_t>(ChromaRowOffset(row / 2, dstYStride, ChromaRowRule::HalfOfLumaOffset));
    for (int32_t j = 0; j < width / 2; ++j) {
      const uint8_t* a = in + 8 * j;
      const uint8_t* b = a + 4;
      const uint8_t* c = below + 8 * j;
      const uint8_t* d = c + 4;
      lumaOut[2 * j] = plain::LumaOfBgra(a);
      lumaOut[2 * j + 1] = plain::LumaOfBgra(b);
      const int32_t blue = (a[0] + b[0] + c[0] + d[0] + 2) >> 2;
      const int32_t green = (a[1] + b[1] + c[1] + d[1] + 2) >> 2;
      const int32_t red = (a[2] + b[2] + c[2] + d[2] + 2) >> 2;
      dstU[chromaOffset + j] = plain::ChromaUOf(red, green, blue);
      dstV[chromaOffset + j] = plain::ChromaVOf(red, green, blue);
    }
  }
  return 0;
}

}  // namespace pellix
