// How far the peers' output lies from ours for the same smooth frame: shows
// that each comparison is like with like (same matrix, range and layout).
#pragma once

#include <optional>
#include <string>

#include "bench/results.h"

namespace pellix::bench {

// The largest difference of any output byte from ours; empty where that
// contender has no conversion or refused the frame.
struct Agreement {
  bool oursConverted = false;
  std::optional<int> libyuv;
  std::optional<int> libswscale;
};

Agreement MeasureAgreement(PixelFormat input, PixelFormat output, FrameSize size);

// "libyuv ±N, libswscale ±M" ("failed" for an empty entry).
std::string DescribeAgreement(const Agreement& agreement);

}  // namespace pellix::bench
