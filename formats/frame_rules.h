// Rules every frame the plug-in is given keeps, whoever makes the frame: the
// reference host, pellix-convert, the GStreamer element and their tests.
#pragma once

#include <cstdint>

namespace pellix {

// A frame's buffer size is a 32-bit count: no frame holds more than 4 GiB - 1.
constexpr uint64_t kLargestFrameBytes = UINT32_MAX;

constexpr bool FitsInAFrame(uint64_t bytes) { return bytes <= kLargestFrameBytes; }

// Planar 4:2:0 strides a host chooses are multiples of 4: a source frame's
// second chroma plane starts h*s + h*(s/4) bytes in, which lies inside the
// first chroma plane unless s/4 is whole.
constexpr int64_t kPlanarStrideMultiple = 4;

// The widest planar stride that is such a multiple and fits an int32_t.
constexpr int32_t kLargestPlanarStride = INT32_MAX / kPlanarStrideMultiple * kPlanarStrideMultiple;

constexpr bool IsPlanarStrideMultiple(int64_t stride) { return stride % kPlanarStrideMultiple == 0; }

// The narrowest such stride of at least `stride` bytes (stride >= 0).
constexpr int64_t RoundUpToPlanarStride(int64_t stride) {
  return (stride + kPlanarStrideMultiple - 1) / kPlanarStrideMultiple * kPlanarStrideMultiple;
}

}  // namespace pellix
