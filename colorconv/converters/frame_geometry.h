// Geometry checks and plane arithmetic shared by the frame converters. All
// arithmetic is 64-bit so that no width, height, stride or capacity a host
// hands over can overflow; a converter proceeds only when every byte its
// routine reads or writes lies inside the locked buffers.
#pragma once

#include <cstdint>

#include "formats/pixel_format.h"
#include "formats/planar_layout.h"
#include "sdk/host.h"

namespace pellix {
namespace converters {

// Width, height and stride (pixels) of a frame or image description.
struct FrameShape {
  int64_t width;
  int64_t height;
  int64_t stride;
};

FrameShape ShapeOf(const Tessel::ImageProperties& properties);
inline FrameShape ShapeOf(const Tessel::Frame& frame) { return ShapeOf(frame.imageProperties); }

// Bytes from one row to the next of a frame of this format and stride.
int64_t RowPitch(PixelFormat format, int64_t stride);

// Bytes a row of `width` pixels occupies; a 4:2:2 row ends on a whole
// macropixel.
int64_t RowBytes(PixelFormat format, int64_t width);

// Positive sizes, a stride that holds the width (a 4:2:2 row occupies whole
// macropixels, a planar frame needs 2 x 2 pixels to hold chroma) and a row
// pitch the routines can address with 32-bit arithmetic.
bool IsWellFormed(const FrameShape& shape, PixelFormat format);

// The frame's own rows, as its width, height and stride describe them, lie
// inside its buffer. A frame that claims more rows than it holds is refused
// even where the image description asks for fewer rows.
bool HoldsOwnRows(const Tessel::Frame& frame, PixelFormat format);

// Both frames well formed for their formats and holding their own rows.
bool FramesAreSound(const Tessel::Frame& source, PixelFormat sourceFormat, const Tessel::Frame& destination,
                    PixelFormat destinationFormat);

// A destination must hold the source's pixels. A planar destination's chroma
// planes are placed by the source's height, so it must have exactly that.
bool DestinationHolds(const FrameShape& destination, PixelFormat destinationFormat, const FrameShape& source);

// The plane copy writes its destination by the destination rule like every
// other converter: with the source rule its two chroma planes would overlap
// for strides of 2 modulo 4 (1366-wide video, say) and the second plane's
// rows would overwrite the end of the first.
inline ChromaPlanes PlaneCopyDestinationChromaPlanes(int64_t height, int64_t stride) {
  return DestinationChromaPlanes(height, stride);
}

// The highest byte offset (exclusive) a conversion touches in one buffer.
class Footprint {
 public:
  // `rows` rows of `rowBytes` bytes, `pitch` bytes apart, from `offset`.
  void AddRows(int64_t offset, int64_t rows, int64_t pitch, int64_t rowBytes);
  // `rows` chroma rows of `rowBytes` bytes in a plane at `offset` of a planar
  // frame with luma stride `stride`.
  void AddChromaRows(int64_t offset, int64_t rows, int64_t stride, ChromaRowRule rule, int64_t rowBytes);
  // Every touched byte lies below `capacity`, and every offset fits the
  // 32-bit arithmetic of the routines.
  bool FitsIn(uint32_t capacity) const;

 private:
  int64_t end_ = 0;
};

}  // namespace converters
}  // namespace pellix
