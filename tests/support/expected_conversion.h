// What a conversion must give, computed by calling the routine in the active
// slot directly (or copying planes / swapping bytes as the two shuffling
// converters do): the oracle of the end-to-end and concurrency tests.
#pragma once

#include <cstdint>
#include <vector>

#include "formats/pixel_format.h"
#include "sdk/host.h"

namespace pellix {

// Converting `source` from `input` to `output` into a destination of
// `destinationCapacity` bytes and stride `destinationStride`. `image` is the
// announced description; `interlaced` the flag the planar-to-packed routines
// get. Bytes the conversion does not write stay 0.
std::vector<uint8_t> ExpectedConversion(PixelFormat input, PixelFormat output, const Tessel::Frame& source,
                                        const Tessel::ImageProperties& image, int32_t destinationStride,
                                        uint32_t destinationCapacity, int32_t interlaced = 0);

}  // namespace pellix
