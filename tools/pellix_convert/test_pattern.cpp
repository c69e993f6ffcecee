#include "tools/pellix_convert/test_pattern.h"

#include <algorithm>
#include <cmath>

#include "tools/pellix_convert/frame_files.h"

namespace pellix::convert {
namespace {

struct Yuv {
  uint8_t y, u, v;
};

uint8_t ClampRound(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

// BT.601, video range: luma 16..235, chroma 16..240.
Yuv ToYuv(Rgb c) {
  const double r = c.r;
  const double g = c.g;
  const double b = c.b;
  return Yuv{ClampRound(16.0 + (65.481 * r + 128.553 * g + 24.966 * b) / 255.0),
             ClampRound(128.0 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255.0),
             ClampRound(128.0 + (112.0 * r - 93.786 * g - 18.214 * b) / 255.0)};
}

uint8_t Ramp(int32_t x, int32_t width) {
  return static_cast<uint8_t>(width > 1 ? static_cast<int64_t>(x) * 255 / (width - 1) : 0);
}

}  // namespace

Rgb PatternColor(int32_t x, int32_t y, int32_t width, int32_t height, int32_t index) {
  // Whole 2x2 blocks share a colour.
  x &= ~1;
  y &= ~1;
  const int32_t side = std::max(2, (height / 6) & ~1);
  const int32_t barsBottom = height * 3 / 5;
  const int32_t travel = std::max(1, width - side);
  const int32_t squareX = static_cast<int32_t>((static_cast<int64_t>(index) * 8) % travel) & ~1;
  const int32_t squareY = std::max(0, (barsBottom - side) / 2) & ~1;
  if (x >= squareX && x < squareX + side && y >= squareY && y < squareY + side) return Rgb{255, 255, 255};
  if (y < barsBottom) {
    // 75% bars: white, yellow, cyan, green, magenta, red, blue.
    static const Rgb bars[7] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                                {191, 0, 191},   {191, 0, 0},   {0, 0, 191}};
    return bars[static_cast<int64_t>(x) * 7 / width];
  }
  const uint8_t ramp = Ramp(x, width);
  if (y < height * 4 / 5) return Rgb{ramp, ramp, ramp};
  return Rgb{ramp, static_cast<uint8_t>(64 + Ramp(y, height) / 2), static_cast<uint8_t>(255 - ramp)};
}

std::vector<uint8_t> MakePatternFrame(PixelFormat format, int32_t width, int32_t height, int32_t index) {
  const FrameLayout layout = FileLayout(format, width, height);
  std::vector<uint8_t> frame(layout.bytes);
  const bool yuy2 = format == PixelFormat::YUY2;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const Rgb c = PatternColor(x, y, width, height, index);
      const Yuv yuv = ToYuv(c);
      const uint64_t row = layout.planes[0].rowOffset(static_cast<uint64_t>(y));
      if (format == PixelFormat::BGRA) {
        uint8_t* pixel = frame.data() + row + 4 * static_cast<uint64_t>(x);
        pixel[0] = c.b;
        pixel[1] = c.g;
        pixel[2] = c.r;
        pixel[3] = 255;
      } else if (yuy2 || format == PixelFormat::UYVY) {
        // The pair shares one colour; a last odd pixel fills both luma
        // places of its macropixel.
        uint8_t* macro = frame.data() + row + 4 * static_cast<uint64_t>(x / 2);
        const int luma = yuy2 ? 0 : 1;
        macro[luma + 2 * (x & 1)] = yuv.y;
        if (x + 1 == width && (x & 1) == 0) macro[luma + 2] = yuv.y;
        macro[yuy2 ? 1 : 0] = yuv.u;
        macro[yuy2 ? 3 : 2] = yuv.v;
      } else {
        frame[row + static_cast<uint64_t>(x)] = yuv.y;
        const uint64_t cx = static_cast<uint64_t>(x / 2);
        const uint64_t cy = static_cast<uint64_t>(y / 2);
        if (cx < layout.planes[1].rowBytes && cy < layout.planes[1].rows) {
          frame[layout.planes[1].rowOffset(cy) + cx] = yuv.u;
          frame[layout.planes[2].rowOffset(cy) + cx] = yuv.v;
        }
      }
    }
  }
  return frame;
}

}  // namespace pellix::convert
