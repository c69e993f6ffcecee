#include "gst/buffer_layout.h"

#include <algorithm>
#include <cstring>

namespace pellix::gst {
namespace {

struct GstPlane {
  uint8_t* data;
  int64_t pitch;
};

// The plug-in lists planar planes as Y, U, V whatever their order in memory;
// GStreamer numbers components the same way and says which plane holds each.
GstPlane PlaneOf(const GstVideoFrame& frame, int index, int planeCount) {
  const int plane = planeCount == 1 ? 0 : GST_VIDEO_FORMAT_INFO_PLANE(frame.info.finfo, index);
  return {static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane)), GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane)};
}

// The rows and row bytes of pixels GStreamer's frame holds in plug-in plane
// `index`: ceil(w/2) x ceil(h/2) chroma samples, 4:2:2 rows of whole
// macropixels.
struct PlaneExtent {
  uint64_t rows;
  uint64_t rowBytes;
};

PlaneExtent ExtentOf(const GstVideoFrame& frame, const FrameLayout& layout, int index) {
  if (layout.planeCount == 1) {
    return {static_cast<uint64_t>(GST_VIDEO_FRAME_HEIGHT(&frame)),
            static_cast<uint64_t>(RowBytesOfPixels(layout.format, GST_VIDEO_FRAME_WIDTH(&frame)))};
  }
  return {static_cast<uint64_t>(GST_VIDEO_FRAME_COMP_HEIGHT(&frame, index)),
          static_cast<uint64_t>(GST_VIDEO_FRAME_COMP_WIDTH(&frame, index))};
}

uintptr_t Address(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

}  // namespace

int32_t PixelStride(const GstVideoFrame& frame) {
  const int32_t bytes = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
  const int32_t pixelBytes = GST_VIDEO_FORMAT_INFO_PSTRIDE(frame.info.finfo, 0);
  if (bytes <= 0 || pixelBytes <= 0 || bytes % pixelBytes != 0) return 0;
  return bytes / pixelBytes;
}

bool HasLayout(const GstVideoFrame& frame, const FrameLayout& layout) {
  if (layout.planeCount == 0 || gst_buffer_n_memory(frame.buffer) != 1) return false;
  const uintptr_t base = Address(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
  for (int i = 0; i < layout.planeCount; ++i) {
    const GstPlane plane = PlaneOf(frame, i, layout.planeCount);
    if (Address(plane.data) < base || Address(plane.data) - base != layout.planes[i].offset) return false;
    if (plane.pitch < 0 || static_cast<uint64_t>(plane.pitch) != layout.planes[i].pitch) return false;
  }
  // One memory block, mapped in map[0]: the plug-in may touch any byte of
  // the layout, padding included.
  const GstMapInfo& block = frame.map[0];
  const uintptr_t start = Address(block.data);
  return base >= start && base - start <= block.size && layout.bytes <= block.size - (base - start);
}

SourcePlanes SourcePlanesOf(const GstVideoFrame& frame, PixelFormat format) {
  const int count = IsPlanar(format) ? 3 : 1;
  SourcePlanes planes;
  for (int i = 0; i < count; ++i) {
    const GstPlane plane = PlaneOf(frame, i, count);
    planes.planes[i] = {plane.data, static_cast<uint64_t>(plane.pitch)};
  }
  return planes;
}

DestinationPlanes DestinationPlanesOf(GstVideoFrame& frame, PixelFormat format) {
  const int count = IsPlanar(format) ? 3 : 1;
  DestinationPlanes planes;
  for (int i = 0; i < count; ++i) {
    const GstPlane plane = PlaneOf(frame, i, count);
    planes.planes[i] = {plane.data, static_cast<uint64_t>(plane.pitch)};
  }
  return planes;
}

void CopyIntoLayout(const GstVideoFrame& from, const FrameLayout& layout, uint8_t* to) {
  for (int i = 0; i < layout.planeCount; ++i) {
    const PlaneLayout& plane = layout.planes[i];
    const GstPlane source = PlaneOf(from, i, layout.planeCount);
    const PlaneExtent held = ExtentOf(from, layout, i);
    const uint64_t rowBytes = std::min(plane.rowBytes, held.rowBytes);
    const uint64_t pixelBytes = IsPlanar(layout.format) ? 1 : BitsPerPixel(layout.format) / 8;
    for (uint64_t row = 0; row < plane.rows; ++row) {
      uint8_t* target = to + plane.offset + row * plane.pitch;
      if (row >= held.rows) {
        // A row past GStreamer's last repeats the one above it.
        std::memcpy(target, target - plane.pitch, plane.rowBytes);
        continue;
      }
      std::memcpy(target, source.data + static_cast<int64_t>(row) * source.pitch, rowBytes);
      // A column past GStreamer's last repeats the last pixel.
      for (uint64_t byte = rowBytes; byte < plane.rowBytes; ++byte) target[byte] = target[byte - pixelBytes];
      if (!IsPlanar(layout.format) && layout.format != PixelFormat::BGRA && layout.width > GST_VIDEO_FRAME_WIDTH(&from)) {
        // 4:2:2 rows of odd width already end on a whole macropixel; its
        // second luma sample is not GStreamer's and repeats the first.
        const uint64_t lastLuma = layout.format == PixelFormat::YUY2 ? 0 : 1;
        const uint64_t x = static_cast<uint64_t>(GST_VIDEO_FRAME_WIDTH(&from));
        target[2 * x + lastLuma] = target[2 * (x - 1) + lastLuma];
      }
    }
  }
}

void CopyOutOfLayout(const uint8_t* from, const FrameLayout& layout, GstVideoFrame& to) {
  for (int i = 0; i < layout.planeCount; ++i) {
    const PlaneLayout& plane = layout.planes[i];
    const GstPlane destination = PlaneOf(to, i, layout.planeCount);
    const PlaneExtent held = ExtentOf(to, layout, i);
    const uint64_t rows = std::min(plane.rows, held.rows);
    const uint64_t rowBytes = std::min(plane.rowBytes, held.rowBytes);
    for (uint64_t row = 0; row < rows; ++row) {
      std::memcpy(destination.data + static_cast<int64_t>(row) * destination.pitch,
                  from + plane.offset + row * plane.pitch, rowBytes);
    }
  }
}

}  // namespace pellix::gst
