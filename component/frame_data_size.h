// Bytes of a converted frame, as the output port records them in dataSize.
#pragma once

#include <cstdint>

namespace pellix {

// bitsPerPixel x |width| x |height| / 8, rounded down. Computed in 64 bits so
// that large frames do not wrap; a size beyond 32 bits (more than any buffer
// a Frame can describe) saturates.
constexpr uint32_t FrameDataSize(int32_t bitsPerPixel, int32_t width, int32_t height) {
  const auto magnitude = [](int32_t v) { return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v); };
  if (bitsPerPixel <= 0) return 0;
  const uint64_t bits = static_cast<uint64_t>(bitsPerPixel);
  const uint64_t pixels = magnitude(width) * magnitude(height);  // below 2^62
  if (pixels > (uint64_t{0xFFFFFFFF} * 8 + 7) / bits) return 0xFFFFFFFFu;
  return static_cast<uint32_t>((bits * pixels) >> 3);
}

}  // namespace pellix
