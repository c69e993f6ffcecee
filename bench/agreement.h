// How far the peers' output lies from ours for the same smooth frame: shows
// that each comparison is like with like (same matrix, range and layout).
#pragma once

#include <string>

#include "bench/results.h"

namespace pellix::bench {

// "libyuv ±N, libswscale ±M": the largest difference of any output byte,
// or "failed" where a contender refused the frame.
std::string MeasureAgreement(PixelFormat input, PixelFormat output, FrameSize size);

}  // namespace pellix::bench
