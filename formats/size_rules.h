// Frame sizes a conversion refuses outright, whatever the frames' buffers.
#pragma once

#include <cstdint>

#include "formats/pixel_format.h"

namespace pellix {

// BGRA to YUY2 or UYVY is refused for an odd width or an odd height
// (negative values included): the packed 4:2:2 rows take their chroma from
// whole pixel pairs.
constexpr bool RefusesOddSizes(FormatPair pair) {
  return pair.from == PixelFormat::BGRA && (pair.to == PixelFormat::YUY2 || pair.to == PixelFormat::UYVY);
}

constexpr bool AcceptsSize(FormatPair pair, int64_t width, int64_t height) {
  return !RefusesOddSizes(pair) || (width % 2 == 0 && height % 2 == 0);
}

}  // namespace pellix
