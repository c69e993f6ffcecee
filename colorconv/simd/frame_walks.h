// One frame walk per routine shape. A walk takes a routine's arguments,
// finds every row and chroma row of the frame, runs the row kernel over the
// whole groups of each row and the last partial group through the same
// kernel on a padded copy of the row end, copying back only the bytes that
// belong to the frame. So every SIMD variant converts every pixel with its
// own arithmetic, and nothing outside the frame is read or written.
#pragma once

#include <cstdint>

#include "colorconv/routines.h"
#include "colorconv/simd/row_kernels.h"
#include "formats/pixel_format.h"
#include "formats/planar_layout.h"

namespace pellix {

// Destinations at least this large are written with stores that bypass the
// caches where a kernel has them: a frame this size would push the reader's
// own data out of the cache before the reader gets to it. Smaller frames stay
// in the cache for the next stage of the pipeline.
constexpr int64_t kStreamingDestinationBytes = int64_t{24} << 20;

struct PlanarToPackedWalk {
  PlanarToPackedKernel kernel;
  PixelFormat destination;           // YUY2, UYVY or BGRA
  bool negativeHeightReadsBottomUp;  // otherwise a height below 2 converts nothing
};

// Planar to packed. Every row 0..height-1 is written once with the chroma row and
// column of formats/planar_layout.h; nothing is done below 2 x 2.
void WalkPlanar420ToPacked(const PlanarToPackedWalk& walk, const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU,
                           const uint8_t* srcV, int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height,
                           int32_t dstStride, const ColorAdjustment* adjust, int32_t interlaced);

// Which pitch sets how many pixels of each row a packed-to-packed routine converts:
// the whole source pitch (4:2:2 to BGRA, the byte swap) or the whole
// destination pitch (BGRA to 4:2:2).
enum class PitchConverted { Source, Destination };

struct PackedToPackedWalk {
  PackedToPackedKernel kernel;
  PixelFormat source;
  PixelFormat destination;
  PitchConverted pitch;
};

// Packed to packed: height rows, each over the whole pitch named by the walk in
// whole 4:2:2 macropixels; strides count pixels.
void WalkPackedToPacked(const PackedToPackedWalk& walk, const uint8_t* src, int32_t srcStride, uint8_t* dst,
                        int32_t dstStride, int32_t height);

struct ToPlanarWalk {
  ToPlanarKernel kernel;
  PixelFormat source;  // YUY2, UYVY or BGRA
  ChromaRowRule chromaRows;
};

// To planar: row pairs 2m, 2m+1 give luma rows and chroma row m; a last odd
// row gives luma only. A source row is read up to width pixels (a 4:2:2
// row of odd width up to its last luma byte). Nothing is done below 2 x 2.
void WalkToPlanar420(const ToPlanarWalk& walk, int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch,
                     uint8_t* dstY, uint8_t* dstU, uint8_t* dstV, int32_t dstYStride);

}  // namespace pellix
