// The six ways a frame is converted, shared by the converters of the pair
// table (pair_table.h). Each takes the routine to call and the plane order
// of the planar side. Each validates both frames before locking anything
// and returns false, with both frames untouched and unlocked, when they
// cannot hold what the routine would read or write.
#pragma once

#include <cstdint>

#include "formats/pixel_format.h"
#include "colorconv/routines.h"
#include "sdk/host.h"

namespace pellix {
namespace converters {

// Which chroma plane of a planar frame comes first in memory.
enum class PlaneOrder {
  UFirst,  // I420
  VFirst,  // YV12
};

// I420 or YV12 to YUY2, UYVY or BGRA through a planar-to-packed routine.
bool ConvertPlanarToPacked(Tessel::Frame* source, uint8_t interlaced, Tessel::Frame* destination,
                           PlaneOrder sourceOrder, PixelFormat destinationFormat, Planar420ToPackedRoutine routine);

// YUY2 or UYVY to BGRA through a packed-to-packed routine; the row count and width
// come from the image description, the whole source pitch is converted.
bool ConvertPackedToBgra(Tessel::Frame* source, const Tessel::ImageProperties* properties,
                         Tessel::Frame* destination, PackedToPackedRoutine routine);

// BGRA to YUY2 or UYVY through a packed-to-packed routine; odd sizes are refused and
// the whole destination pitch is filled.
bool ConvertBgraToPacked(Tessel::Frame* source, Tessel::Frame* destination, PixelFormat destinationFormat,
                         PackedToPackedRoutine routine);

// YUY2, UYVY or BGRA to I420 or YV12 through a to-planar routine. A routine
// that reports it converted nothing (non-zero) makes the conversion fail.
bool ConvertToPlanar(Tessel::Frame* source, PixelFormat sourceFormat, Tessel::Frame* destination,
                     PlaneOrder destinationOrder, ToPlanar420Routine routine);

// I420 to YV12 or back: luma rows copied, chroma planes exchanged; the
// chroma row count comes from the image description.
bool CopyPlanesSwappingChroma(Tessel::Frame* source, const Tessel::ImageProperties* properties,
                              Tessel::Frame* destination);

// YUY2 to UYVY or back: the bytes of every sample pair swapped over the
// whole pitch; both frames must share the stride.
bool SwapPackedBytePairs(Tessel::Frame* source, Tessel::Frame* destination);

}  // namespace converters
}  // namespace pellix
