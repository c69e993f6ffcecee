#include "host/frame_layout.h"

#include <algorithm>
#include <cstring>

#include "formats/frame_rules.h"

namespace pellix {

int32_t TightStride(PixelFormat format, int32_t width) {
  const int64_t stride = MinimumStride(format, std::max(width, 0));
  return static_cast<int32_t>(std::min<int64_t>(stride, INT32_MAX));
}

int32_t DefaultStride(PixelFormat format, int32_t width) {
  const int32_t tight = TightStride(format, width);
  if (IsPlanar(format) && tight <= kLargestPlanarStride) return static_cast<int32_t>(RoundUpToPlanarStride(tight));
  return tight;
}

void CopyPlaneIntoFrame(const uint8_t* image, uint64_t pitch, uint8_t* frame, const PlaneLayout& plane) {
  for (uint64_t row = 0; row < plane.rows; ++row) {
    std::memcpy(frame + plane.rowOffset(row), image + row * pitch, plane.rowBytes);
  }
}

void CopyPlaneOutOfFrame(const uint8_t* frame, const PlaneLayout& plane, uint8_t* image, uint64_t pitch) {
  for (uint64_t row = 0; row < plane.rows; ++row) {
    std::memcpy(image + row * pitch, frame + plane.rowOffset(row), plane.rowBytes);
  }
}

uint64_t CapacityFor(int32_t bitsPerPixel, int32_t stride, int32_t height) {
  if (bitsPerPixel <= 0 || stride <= 0 || height <= 0) return 0;
  const uint64_t bits = static_cast<uint64_t>(bitsPerPixel) * static_cast<uint64_t>(stride) *
                        static_cast<uint64_t>(height);
  return (bits + 7) / 8;
}

namespace {

uint64_t PlaneEnd(const PlaneLayout& plane) { return plane.rowOffset(plane.rows); }

}  // namespace

uint64_t PlaneLayout::rowOffset(uint64_t row) const {
  if (lumaStride == 0) return offset + row * pitch;
  return offset + static_cast<uint64_t>(ChromaRowOffset(static_cast<int64_t>(row), static_cast<int64_t>(lumaStride),
                                                        rowRule));
}

FrameLayout LayoutFor(PixelFormat format, int32_t width, int32_t height, int32_t stride, PlaneRule rule,
                      ChromaRowRule chromaRows) {
  FrameLayout layout;
  layout.format = format;
  layout.width = std::max(width, 0);
  layout.height = std::max(height, 0);
  layout.stride = std::max(stride, 0);
  const uint64_t w = static_cast<uint64_t>(layout.width);
  const uint64_t h = static_cast<uint64_t>(layout.height);
  const uint64_t s = static_cast<uint64_t>(layout.stride);

  if (IsPlanar(format)) {
    layout.planeCount = 3;
    layout.planes[0] = {0, s, w, h};
    const ChromaPlanes planes = rule == PlaneRule::Source ? SourceChromaPlanes(layout.height, layout.stride)
                                                          : DestinationChromaPlanes(layout.height, layout.stride);
    const uint64_t pitch = static_cast<uint64_t>(ChromaRowOffset(1, layout.stride, chromaRows));
    const PlaneLayout chromaFirst{static_cast<uint64_t>(planes.first), pitch, w / 2, h / 2, s, chromaRows};
    const PlaneLayout chromaSecond{static_cast<uint64_t>(planes.second), pitch, w / 2, h / 2, s, chromaRows};
    const bool uFirst = format == PixelFormat::I420;
    layout.planes[1] = uFirst ? chromaFirst : chromaSecond;
    layout.planes[2] = uFirst ? chromaSecond : chromaFirst;
  } else if (format != PixelFormat::None) {
    const uint64_t bytesPerPixel = static_cast<uint64_t>(RowBytesPerPixel(format));
    const uint64_t rowBytes = static_cast<uint64_t>(RowBytesOfPixels(format, static_cast<int64_t>(w)));
    layout.planeCount = 1;
    layout.planes[0] = {0, s * bytesPerPixel, rowBytes, h};
  }

  uint64_t end = CapacityFor(BitsPerPixel(format), layout.stride, layout.height);
  for (int i = 0; i < layout.planeCount; ++i) end = std::max(end, PlaneEnd(layout.planes[i]));
  layout.bytes = end;
  return layout;
}

uint64_t FrameLayout::packedBytes() const {
  uint64_t total = 0;
  for (int i = 0; i < planeCount; ++i) total += planes[i].rowBytes * planes[i].rows;
  return total;
}

}  // namespace pellix
