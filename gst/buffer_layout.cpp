#include "gst/buffer_layout.h"

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

void CopyIntoLayout(const GstVideoFrame& from, const FrameLayout& layout, uint8_t* to) {
  for (int i = 0; i < layout.planeCount; ++i) {
    const PlaneLayout& plane = layout.planes[i];
    const GstPlane source = PlaneOf(from, i, layout.planeCount);
    for (uint64_t row = 0; row < plane.rows; ++row) {
      std::memcpy(to + plane.offset + row * plane.pitch, source.data + static_cast<int64_t>(row) * source.pitch,
                  plane.rowBytes);
    }
  }
}

void CopyOutOfLayout(const uint8_t* from, const FrameLayout& layout, GstVideoFrame& to) {
  for (int i = 0; i < layout.planeCount; ++i) {
    const PlaneLayout& plane = layout.planes[i];
    const GstPlane destination = PlaneOf(to, i, layout.planeCount);
    for (uint64_t row = 0; row < plane.rows; ++row) {
      std::memcpy(destination.data + static_cast<int64_t>(row) * destination.pitch,
                  from + plane.offset + row * plane.pitch, plane.rowBytes);
    }
  }
}

}  // namespace pellix::gst
