// The same conversions in two peer libraries, for comparison: libyuv and
// FFmpeg's libswscale, both set to BT.601 video range.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "bench/bench_frames.h"
#include "formats/pixel_format.h"

struct SwsContext;

namespace pellix::bench {

// One libyuv call (or the cheapest chain) for a pair, named as it runs.
// libyuv's "ARGB" is B, G, R, A in memory, which is our BGRA.
struct LibyuvConversion {
  std::string name;  // empty when libyuv cannot do the pair
  std::function<bool(const ImageRef& src, const ImageRef& dst)> run;
};
LibyuvConversion LibyuvConversionFor(PixelFormat input, PixelFormat output);

// A libswscale context for one pair and size, made once and reused for
// every frame, with BT.601 coefficients and video range on the YUV side.
class SwscaleConversion {
 public:
  SwscaleConversion(PixelFormat input, PixelFormat output, int width, int height);
  ~SwscaleConversion();
  SwscaleConversion(const SwscaleConversion&) = delete;
  SwscaleConversion& operator=(const SwscaleConversion&) = delete;

  bool valid() const { return context_ != nullptr; }
  const std::string& name() const { return name_; }
  bool run(const ImageRef& src, const ImageRef& dst) const;

 private:
  SwsContext* context_ = nullptr;
  int height_ = 0;
  std::string name_;
};

}  // namespace pellix::bench
