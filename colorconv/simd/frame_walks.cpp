#include "colorconv/simd/frame_walks.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pellix {
namespace {

// Byte offset of row `row` for a pitch that may be large or negative.
uint8_t* RowAt(uint8_t* base, int64_t row, int64_t pitch) { return base + static_cast<ptrdiff_t>(row * pitch); }
const uint8_t* RowAt(const uint8_t* base, int64_t row, int64_t pitch) {
  return base + static_cast<ptrdiff_t>(row * pitch);
}

// The whole groups of a row, and where the partial group begins.
int32_t WholeGroups(int32_t pixels, int32_t groupPixels) { return pixels / groupPixels * groupPixels; }

// Padded copies of row ends, sized for the widest group and kept on the
// stack of the walking thread; a group of BGRA is the widest row end.
struct alignas(64) RowEnd {
  uint8_t bytes[4 * kMaxGroupPixels];
};

// Planar to packed, pixels [begin, width) of one row: luma past the width repeats the
// last luma byte, chroma columns come from the column rule, so the kernel
// sees exactly the samples each pixel of the frame uses.
void ConvertPlanarRowEnd(const PlanarToPackedWalk& walk, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                         uint8_t* dst, int32_t begin, int32_t width, const ColorAdjustment& adjust) {
  const int32_t group = walk.kernel.groupPixels;
  RowEnd luma, uEnd, vEnd, out;
  for (int32_t i = 0; i < group; ++i) {
    const int32_t x = begin + i;
    luma.bytes[i] = y[x < width ? x : width - 1];
  }
  for (int32_t i = 0; i < group / 2; ++i) {
    const int32_t column = ChromaColumnForPixel(begin + 2 * i, width);
    uEnd.bytes[i] = u[column];
    vEnd.bytes[i] = v[column];
  }
  walk.kernel.row(luma.bytes, uEnd.bytes, vEnd.bytes, out.bytes, group, adjust, false);
  const int64_t offset = RowBytesOfPixels(walk.destination, begin);
  std::memcpy(dst + offset, out.bytes, static_cast<size_t>(RowBytesOfPixels(walk.destination, width) - offset));
}

}  // namespace

void WalkPlanar420ToPacked(const PlanarToPackedWalk& walk, const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU,
                           const uint8_t* srcV, int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height,
                           int32_t dstStride, const ColorAdjustment* adjustIn, int32_t interlaced) {
  const bool bottomUp = walk.negativeHeightReadsBottomUp && height < 0;
  const int64_t rows = bottomUp ? -int64_t{height} : height;
  if (width < 2 || rows < 2) return;
  const int32_t h = static_cast<int32_t>(rows);
  const ColorAdjustment& adjust = adjustIn ? *adjustIn : kIdentityAdjustment;
  const int64_t dstPitch = int64_t{RowBytesPerPixel(walk.destination)} * dstStride;
  const bool stream = rows * RowBytesOfPixels(walk.destination, width) >= kStreamingDestinationBytes;
  const int32_t whole = WholeGroups(width, walk.kernel.groupPixels);
  for (int32_t r = 0; r < h; ++r) {
    // Bottom-up reading writes source row h-1-r to output row r. Only direct
    // callers of the routine reach it: the converters refuse heights below 1.
    const int32_t source = bottomUp ? h - 1 - r : r;
    const int64_t chroma = ChromaRowForLumaRow(source, h, interlaced);
    const uint8_t* y = RowAt(srcY, source, srcYStride);
    const uint8_t* u = RowAt(srcU, chroma, srcChromaStride);
    const uint8_t* v = RowAt(srcV, chroma, srcChromaStride);
    uint8_t* d = RowAt(dst, r, dstPitch);
    if (whole > 0) walk.kernel.row(y, u, v, d, whole, adjust, stream);
    if (whole < width) ConvertPlanarRowEnd(walk, y, u, v, d, whole, width, adjust);
  }
}

void WalkPackedToPacked(const PackedToPackedWalk& walk, const uint8_t* src, int32_t srcStride, uint8_t* dst,
                        int32_t dstStride, int32_t height) {
  const int64_t stride = walk.pitch == PitchConverted::Source ? srcStride : dstStride;
  // Whole macropixels of the pitch: (2 * stride) / 4 of them, rounding toward zero.
  const int64_t pixels = 2 * ((2 * stride) / 4);
  if (height <= 0 || pixels <= 0) return;
  const int32_t inBytes = RowBytesPerPixel(walk.source);
  const int32_t outBytes = RowBytesPerPixel(walk.destination);
  const int64_t srcPitch = int64_t{inBytes} * srcStride;
  const int64_t dstPitch = int64_t{outBytes} * dstStride;
  const bool stream = height * pixels * outBytes >= kStreamingDestinationBytes;
  // Every pixel converts on its own, so rows with nothing between them are
  // one long row: one kernel call instead of one per row.
  int64_t rowPixels = pixels;
  int32_t rows = height;
  if (srcPitch == pixels * inBytes && dstPitch == pixels * outBytes && pixels * height <= INT32_MAX) {
    rowPixels = pixels * height;
    rows = 1;
  }
  const int32_t group = walk.kernel.groupPixels;
  const int32_t whole = WholeGroups(static_cast<int32_t>(rowPixels), group);
  const int32_t rest = static_cast<int32_t>(rowPixels) - whole;
  for (int32_t r = 0; r < rows; ++r) {
    const uint8_t* in = RowAt(src, r, srcPitch);
    uint8_t* out = RowAt(dst, r, dstPitch);
    if (whole > 0) walk.kernel.row(in, out, whole, stream);
    if (rest == 0) continue;
    RowEnd inEnd{}, outEnd;
    std::memcpy(inEnd.bytes, in + int64_t{whole} * inBytes, static_cast<size_t>(rest) * inBytes);
    walk.kernel.row(inEnd.bytes, outEnd.bytes, group, false);
    std::memcpy(out + int64_t{whole} * outBytes, outEnd.bytes, static_cast<size_t>(rest) * outBytes);
  }
}

void WalkToPlanar420(const ToPlanarWalk& walk, int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch,
                     uint8_t* dstY, uint8_t* dstU, uint8_t* dstV, int32_t dstYStride) {
  if (width < 2 || height < 2) return;
  const int32_t group = walk.kernel.groupPixels;
  const int32_t whole = WholeGroups(width, group);
  const int32_t rest = width - whole;
  // A source row is read up to its last pixel's bytes, no further.
  const int64_t restBytes = int64_t{rest} * RowBytesPerPixel(walk.source);
  const int64_t wholeBytes = int64_t{whole} * RowBytesPerPixel(walk.source);
  const int32_t restChroma = width / 2 - whole / 2;
  for (int32_t m = 0; m < height / 2; ++m) {
    const uint8_t* in0 = RowAt(src, 2 * m, srcPitch);
    const uint8_t* in1 = RowAt(src, 2 * m + 1, srcPitch);
    uint8_t* y0 = RowAt(dstY, 2 * m, dstYStride);
    uint8_t* y1 = RowAt(dstY, 2 * m + 1, dstYStride);
    const int64_t chroma = ChromaRowOffset(m, dstYStride, walk.chromaRows);
    uint8_t* u = dstU + static_cast<ptrdiff_t>(chroma);
    uint8_t* v = dstV + static_cast<ptrdiff_t>(chroma);
    if (whole > 0) walk.kernel.pair(in0, in1, y0, y1, u, v, whole);
    if (rest == 0) continue;
    RowEnd inEnd0{}, inEnd1{}, outY0, outY1, outU, outV;
    std::memcpy(inEnd0.bytes, in0 + wholeBytes, static_cast<size_t>(restBytes));
    std::memcpy(inEnd1.bytes, in1 + wholeBytes, static_cast<size_t>(restBytes));
    walk.kernel.pair(inEnd0.bytes, inEnd1.bytes, outY0.bytes, outY1.bytes, outU.bytes, outV.bytes, group);
    std::memcpy(y0 + whole, outY0.bytes, static_cast<size_t>(rest));
    std::memcpy(y1 + whole, outY1.bytes, static_cast<size_t>(rest));
    std::memcpy(u + whole / 2, outU.bytes, static_cast<size_t>(restChroma));
    std::memcpy(v + whole / 2, outV.bytes, static_cast<size_t>(restChroma));
  }
  if (height % 2 == 0) return;
  const uint8_t* in = RowAt(src, height - 1, srcPitch);
  uint8_t* y = RowAt(dstY, height - 1, dstYStride);
  if (whole > 0) walk.kernel.luma(in, y, whole);
  if (rest == 0) return;
  RowEnd inEnd{}, outY;
  std::memcpy(inEnd.bytes, in + wholeBytes, static_cast<size_t>(restBytes));
  walk.kernel.luma(inEnd.bytes, outY.bytes, group);
  std::memcpy(y + whole, outY.bytes, static_cast<size_t>(rest));
}

}  // namespace pellix
