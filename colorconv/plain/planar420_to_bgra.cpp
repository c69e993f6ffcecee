#include "formats/planar_layout.h"
#include "colorconv/plain/pixel_rules.h"
#include "colorconv/plain/plain_routines.h"

namespace pellix {

// Every pixel of width x height is written, a last odd row or column using
// the nearest chroma sample inside the planes; a frame narrower or lower than
// 2 holds no chroma and is left alone.
void Planar420ToBGRA(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                     int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height, int32_t dstStride,
                     const ColorAdjustment* adjust, int32_t interlaced) {
  if (width < 2 || height < 2) return;
  const int32_t offset = plain::LimitLumaOffset(adjust != nullptr ? adjust->lumaOffset : 0);
  for (int32_t row = 0; row < height; ++row) {
    const int32_t chromaRow = ChromaRowForLumaRow(row, height, interlaced);
    const uint8_t* lumaRow = srcY + plain::RowOffset(row, srcYStride);
    const uint8_t* uRow = srcU + plain::RowOffset(chromaRow, srcChromaStride);
    const uint8_t* vRow = srcV + plain::RowOffset(chromaRow, srcChromaStride);
    uint8_t* out = dst + plain::RowOffset(row, 4 * static_cast<int64_t>(dstStride));
    for (int32_t x = 0; x < width; x += 2) {
      const int32_t column = ChromaColumnForPixel(x, width);
      const plain::ChromaTerms terms = plain::ChromaTermsFor(uRow[column], vRow[column]);
      plain::WriteBgraPixel(out + 4 * x, lumaRow[x], offset, terms);
      if (x + 1 < width) plain::WriteBgraPixel(out + 4 * x + 4, lumaRow[x + 1], offset, terms);
    }
  }
}

}  // namespace pellix
