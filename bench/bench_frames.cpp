#include "bench/bench_frames.h"

#include <new>
#include <stdexcept>
#include <string>

#include "formats/packed422_order.h"

namespace pellix::bench {

size_t FrameBytes(PixelFormat format, int32_t height, int32_t stride) {
  const size_t pixels = static_cast<size_t>(height) * static_cast<size_t>(stride);
  switch (format) {
    case PixelFormat::I420:
    case PixelFormat::YV12:
      return pixels + pixels / 2;
    case PixelFormat::YUY2:
    case PixelFormat::UYVY:
      return pixels * 2;
    case PixelFormat::BGRA:
      return pixels * 4;
    default:
      return 0;
  }
}

BenchFrame::BenchFrame(PixelFormat format, int32_t width, int32_t height) : format_(format) {
  if (width <= 0 || height <= 0 || width % 4 != 0 || height % 2 != 0 || BitsPerPixel(format) == 0) {
    throw std::invalid_argument("bench frame " + std::to_string(width) + "x" + std::to_string(height) + " of " +
                                FormatName(format) + ": width must be a multiple of 4, height even");
  }
  const size_t bytes = FrameBytes(format, height, width);
  // Every frame starts on a page, as large host buffers do: where a buffer
  // lies relative to another (which cache sets, which 4 KiB aliases) then
  // never depends on the allocator's history, and every contender of a pair
  // works on frames placed alike.
  constexpr size_t kAlign = 4096;
  data_.reset(static_cast<uint8_t*>(std::aligned_alloc(kAlign, (bytes + kAlign - 1) / kAlign * kAlign)));
  if (!data_) throw std::bad_alloc();
  capacity = static_cast<uint32_t>(bytes);
  dataSize() = static_cast<uint32_t>(bytes);
  imageProperties.width = width;
  imageProperties.height = height;
  imageProperties.stride = width;
}

namespace {

// xorshift32: cheap, deterministic, and irregular enough that no routine
// sees a run of equal pixels.
uint32_t NextRandom(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

}  // namespace

void FillPatternBytes(uint8_t* p, size_t bytes, PixelFormat format, uint32_t seed) {
  uint32_t state = seed * 2654435761u + 1u;
  if (format == PixelFormat::BGRA) {
    for (size_t i = 0; i + 3 < bytes; i += 4) {
      const uint32_t r = NextRandom(state);
      p[i] = static_cast<uint8_t>(r);
      p[i + 1] = static_cast<uint8_t>(r >> 8);
      p[i + 2] = static_cast<uint8_t>(r >> 16);
      p[i + 3] = 255;
    }
    return;
  }
  // 16..235 lies inside both the luma and the chroma range.
  for (size_t i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(16 + NextRandom(state) % 220);
}

namespace {

// A triangle wave over 16..235 (valid luma and chroma), one period per 440
// steps, so neighbouring samples never differ by more than the step.
uint8_t Ramp(int64_t t) {
  const int64_t phase = ((t % 440) + 440) % 440;
  return static_cast<uint8_t>(16 + (phase < 220 ? phase : 439 - phase));
}

}  // namespace

void BenchFrame::fillGradient() {
  const int w = imageProperties.width;
  const int h = imageProperties.height;
  const ImageRef ref = ImageRefOf(*this);
  switch (format_) {
    case PixelFormat::I420:
    case PixelFormat::YV12:
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) ref.plane[0][y * ref.pitch[0] + x] = Ramp(x + y);
      }
      for (int y = 0; y < h / 2; ++y) {
        for (int x = 0; x < w / 2; ++x) {
          ref.plane[1][y * ref.pitch[1] + x] = Ramp(2 * x + 100);
          ref.plane[2][y * ref.pitch[2] + x] = Ramp(2 * y + 300);
        }
      }
      break;
    case PixelFormat::YUY2:
    case PixelFormat::UYVY: {
      const Packed422Order order = Packed422OrderOf(format_);
      for (int y = 0; y < h; ++y) {
        uint8_t* row = ref.plane[0] + static_cast<size_t>(y) * ref.pitch[0];
        for (int x = 0; x < w; x += 2) {
          uint8_t* m = row + 2 * x;
          m[order.luma0] = Ramp(x + y);
          m[order.luma1] = Ramp(x + 1 + y);
          m[order.u] = Ramp(x + 100);
          m[order.v] = Ramp(y + 300);
        }
      }
      break;
    }
    default:
      for (int y = 0; y < h; ++y) {
        uint8_t* row = ref.plane[0] + static_cast<size_t>(y) * ref.pitch[0];
        for (int x = 0; x < w; ++x) {
          row[4 * x] = Ramp(x + 50);
          row[4 * x + 1] = Ramp(x + y);
          row[4 * x + 2] = Ramp(y + 200);
          row[4 * x + 3] = 255;
        }
      }
      break;
  }
}

ImageRef ImageRefOf(BenchFrame& frame) {
  ImageRef ref;
  const int w = frame.imageProperties.width;
  const int h = frame.imageProperties.height;
  const int s = frame.imageProperties.stride;
  uint8_t* base = frame.lock();
  ref.width = w;
  ref.height = h;
  switch (frame.format()) {
    case PixelFormat::I420:
    case PixelFormat::YV12: {
      const size_t luma = static_cast<size_t>(h) * static_cast<size_t>(s);
      uint8_t* first = base + luma;
      uint8_t* second = first + luma / 4;
      const bool uFirst = frame.format() == PixelFormat::I420;
      ref.plane[0] = base;
      ref.plane[1] = uFirst ? first : second;
      ref.plane[2] = uFirst ? second : first;
      ref.pitch[0] = s;
      ref.pitch[1] = ref.pitch[2] = s / 2;
      break;
    }
    case PixelFormat::YUY2:
    case PixelFormat::UYVY:
      ref.plane[0] = base;
      ref.pitch[0] = 2 * s;
      break;
    default:
      ref.plane[0] = base;
      ref.pitch[0] = 4 * s;
      break;
  }
  frame.unlock();
  return ref;
}

}  // namespace pellix::bench
