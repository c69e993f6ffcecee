// The five pixel formats and their sizes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pellix {

enum class PixelFormat : uint32_t {
  None = 0,
  I420 = 1,  // also named IYUV: Y plane, then U, then V
  YV12 = 2,  // Y plane, then V, then U
  UYVY = 3,  // packed 4:2:2, bytes U Y V Y
  YUY2 = 4,  // packed 4:2:2, bytes Y U Y V
  BGRA = 5,  // packed, bytes B G R A
};

constexpr int32_t BitsPerPixel(PixelFormat format) {
  switch (format) {
    case PixelFormat::I420:
    case PixelFormat::YV12:
      return 12;
    case PixelFormat::UYVY:
    case PixelFormat::YUY2:
      return 16;
    case PixelFormat::BGRA:
      return 32;
    default:
      return 0;
  }
}

constexpr bool IsPlanar(PixelFormat format) { return format == PixelFormat::I420 || format == PixelFormat::YV12; }
constexpr bool IsPacked422(PixelFormat format) { return format == PixelFormat::UYVY || format == PixelFormat::YUY2; }

// Bytes one pixel takes in a row of the frame's first plane: the luma plane
// of a planar format, the only plane of a packed one.
constexpr int32_t RowBytesPerPixel(PixelFormat format) { return IsPlanar(format) ? 1 : BitsPerPixel(format) / 8; }

// Pixels a row of n pixels occupies: a 4:2:2 row ends on a whole
// macropixel, so an odd count takes the pixel after it too. This is the
// smallest stride that holds such a row.
constexpr int64_t MinimumStride(PixelFormat format, int64_t n) {
  return IsPacked422(format) ? n + (n & 1) : n;
}

// Bytes pixels [0, n) occupy in such a row.
constexpr int64_t RowBytesOfPixels(PixelFormat format, int64_t n) {
  return RowBytesPerPixel(format) * MinimumStride(format, n);
}

constexpr const char* FormatName(PixelFormat format) {
  switch (format) {
    case PixelFormat::I420: return "I420";
    case PixelFormat::YV12: return "YV12";
    case PixelFormat::UYVY: return "UYVY";
    case PixelFormat::YUY2: return "YUY2";
    case PixelFormat::BGRA: return "BGRA";
    default: return "None";
  }
}

constexpr PixelFormat kAllFormats[] = {PixelFormat::I420, PixelFormat::YV12, PixelFormat::UYVY, PixelFormat::YUY2,
                                       PixelFormat::BGRA};
constexpr size_t kFormatCount = sizeof(kAllFormats) / sizeof(kAllFormats[0]);
constexpr size_t kPairCount = kFormatCount * (kFormatCount - 1);

// An ordered pair of formats: a conversion from one to the other.
struct FormatPair {
  PixelFormat from;
  PixelFormat to;
};

// Every ordered pair of two different formats (twenty), source-major in the
// order of kAllFormats.
constexpr std::array<FormatPair, kPairCount> AllPairsOfDistinctFormats() {
  std::array<FormatPair, kPairCount> pairs{};
  size_t next = 0;
  for (PixelFormat from : kAllFormats) {
    for (PixelFormat to : kAllFormats) {
      if (from != to) pairs[next++] = FormatPair{from, to};
    }
  }
  return pairs;
}
constexpr auto kAllPairs = AllPairsOfDistinctFormats();

}  // namespace pellix
