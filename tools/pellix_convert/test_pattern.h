// The built-in test pattern: colour bars over a grey ramp and a colour
// gradient, with a white square that moves from frame to frame. Every 2x2
// block of pixels has one colour, so 4:2:0 and 4:2:2 chroma carry it
// without loss and a round trip through any pair of formats shows only the
// conversions' own arithmetic.
#pragma once

#include <cstdint>
#include <vector>

#include "formats/pixel_format.h"

namespace pellix::convert {

struct Rgb {
  uint8_t r, g, b;
};

// The colour of pixel (x, y) of frame `index`.
Rgb PatternColor(int32_t x, int32_t y, int32_t width, int32_t height, int32_t index);

// Frame `index` of the pattern in `format`, rows packed as in files
// (FileLayout). YUV samples use BT.601 video range.
std::vector<uint8_t> MakePatternFrame(PixelFormat format, int32_t width, int32_t height, int32_t index);

}  // namespace pellix::convert
