// Where the pixels of a frame lie, for a host that fills source frames or
// reads converted ones. Strides count pixels; planar luma rows are stride
// bytes apart and chroma rows stride / 2; packed 4:2:2 rows 2 x stride bytes;
// BGRA rows 4 x stride bytes. All sizes are 64-bit.
#pragma once

#include <cstdint>

#include "formats/pixel_format.h"
#include "formats/planar_layout.h"

namespace pellix {

// Which of the two placements of a planar frame's chroma planes
// (SourceChromaPlanes, DestinationChromaPlanes) a layout follows; the two
// agree when the stride is a multiple of 4.
enum class PlaneRule { Source, Destination };

struct PlaneLayout {
  uint64_t offset = 0;    // from the frame's first byte
  uint64_t pitch = 0;     // bytes from one row to the next (see rowOffset)
  uint64_t rowBytes = 0;  // bytes of pixel data in a row (the rest is padding)
  uint64_t rows = 0;
  // Chroma planes of planar frames: rows are placed from the luma stride by
  // this rule (lumaStride 0 for every other plane).
  uint64_t lumaStride = 0;
  ChromaRowRule rowRule = ChromaRowRule::HalvedStride;

  // Where row `row` begins, from the frame's first byte. Under
  // HalfOfLumaOffset with an odd stride, rows are not all `pitch` apart.
  uint64_t rowOffset(uint64_t row) const;
};

struct FrameLayout {
  PixelFormat format = PixelFormat::None;
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;
  int planeCount = 0;
  // Planar: Y, U, V in that order whatever the storage order (YV12 keeps V
  // before U in memory). Packed: one plane.
  PlaneLayout planes[3];
  uint64_t bytes = 0;  // the end of the last plane: what a buffer must hold

  // Bytes of pixel data without padding, as a tightly packed file stores
  // one frame (width x height, chroma planes (w/2) x (h/2)).
  uint64_t packedBytes() const;
};

// The narrowest stride: the width, rounded up to even for packed 4:2:2 (a
// row occupies whole 4-byte macropixels). Files store frames this way.
int32_t TightStride(PixelFormat format, int32_t width);

// The stride a host uses when none is given: the tight stride, rounded up to
// a multiple of 4 for planar 4:2:0 (so the chroma planes of a source frame
// cannot overlap).
int32_t DefaultStride(PixelFormat format, int32_t width);

// Layout of a frame with non-negative width, height and stride. A planar
// destination's chroma rows follow DestinationChromaRowRule(source format).
FrameLayout LayoutFor(PixelFormat format, int32_t width, int32_t height, int32_t stride,
                      PlaneRule rule = PlaneRule::Destination, ChromaRowRule chromaRows = ChromaRowRule::HalvedStride);

// The pixel rows of one plane of the frame at `frame`, copied from or to an
// image plane whose rows are `pitch` bytes apart (the padding is not touched).
void CopyPlaneIntoFrame(const uint8_t* image, uint64_t pitch, uint8_t* frame, const PlaneLayout& plane);
void CopyPlaneOutOfFrame(const uint8_t* frame, const PlaneLayout& plane, uint8_t* image, uint64_t pitch);

// Buffer bytes a frame allocator gives a frame of this size, rounded up:
// bitsPerPixel x stride x height / 8.
uint64_t CapacityFor(int32_t bitsPerPixel, int32_t stride, int32_t height);

}  // namespace pellix
