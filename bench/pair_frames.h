// The frames one pair converts between, and the bytes memcpy moves to stand
// for the same memory traffic: shared by the pair benchmarks and the paired
// rounds.
#pragma once

#include <cstring>

#include "bench/bench_frames.h"
#include "bench/results.h"

namespace pellix::bench {

struct PairFrames {
  BenchFrame src;
  BenchFrame dst;
  PairFrames(PixelFormat in, PixelFormat out, FrameSize size)
      : src(in, size.width, size.height), dst(out, size.width, size.height) {
    src.fillPattern(1);
    std::memset(dst.data(), 0, dst.bytes());
  }
};

// The memory limit: one copy moving the conversion's bytes, half of them
// read and half written, between two buffers of that size.
inline size_t MemcpyBytes(PixelFormat in, PixelFormat out, FrameSize size) {
  return (FrameBytes(in, size.height, size.width) + FrameBytes(out, size.height, size.width)) / 2;
}

}  // namespace pellix::bench
