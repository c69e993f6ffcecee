// Frames the benchmarks own: a Tessel::Frame over a page-aligned
// buffer laid out as the plug-in's host would lay it out, and the views of
// its planes that routines and peer libraries take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "formats/pixel_format.h"
#include "sdk/host.h"

namespace pellix::bench {

// Bytes a frame of this format, height and stride (pixels) occupies.
size_t FrameBytes(PixelFormat format, int32_t height, int32_t stride);

// Fills a frame buffer with deterministic video-range content (luma
// 16..235, chroma 16..240; BGRA with alpha 255), different per seed.
void FillPatternBytes(uint8_t* data, size_t bytes, PixelFormat format, uint32_t seed);

// A frame whose stride is its width. Width must be a multiple of 4 and
// height even, so both planar layout rules put the chroma planes at the same
// place and peers see exactly the frame the converters see. The benchmark
// owns the frame; the reference count only keeps the SDK contract.
class BenchFrame final : public Tessel::Frame {
 public:
  BenchFrame(PixelFormat format, int32_t width, int32_t height);

  int32_t addRef() override { return ++references_; }
  int32_t release() override { return --references_; }
  uint8_t* lock() override { return data_.get(); }
  void unlock() override {}

  PixelFormat format() const { return format_; }
  size_t bytes() const { return capacity; }
  uint8_t* data() const { return data_.get(); }

  // FillPatternBytes over the whole buffer, which also makes every page
  // resident before anything is timed.
  void fillPattern(uint32_t seed) { FillPatternBytes(data_.get(), capacity, format_, seed); }
  // Smooth gradients in every plane and channel, so that peers which filter
  // chroma differently still agree closely with us.
  void fillGradient();

 private:
  struct FreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
  };
  PixelFormat format_;
  int32_t references_ = 1;
  std::unique_ptr<uint8_t, FreeDeleter> data_;
};

// A frame's planes as an image library addresses them. Planar frames give
// Y, U, V in that order whatever their order in memory (so YV12 is I420 with
// the chroma planes exchanged); packed frames use plane 0 only. Pitches are
// in bytes.
struct ImageRef {
  uint8_t* plane[3] = {nullptr, nullptr, nullptr};
  int pitch[3] = {0, 0, 0};
  int width = 0;
  int height = 0;
};

// Plane positions follow the frame converters' layout: the first chroma
// plane at h·s, the second a quarter plane further.
ImageRef ImageRefOf(BenchFrame& frame);

}  // namespace pellix::bench
