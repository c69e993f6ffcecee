// Where the samples of a packed 4:2:2 macropixel lie: four bytes carry two
// pixels' luma and the U and V the pair shares. Plain routines, SIMD kernels
// and test models all read the byte order from here.
#pragma once

#include <cstdint>

#include "formats/pixel_format.h"

namespace pellix {

// Byte offsets of one macropixel's samples.
struct Packed422Order {
  int32_t luma0;
  int32_t u;
  int32_t luma1;
  int32_t v;

  // Luma is the low byte of each 16-bit word (YUY2), not the high one (UYVY).
  constexpr bool LumaFirst() const { return luma0 < u; }
};

// One type per format, for template parameters.
struct YUY2Layout {
  static constexpr PixelFormat kFormat = PixelFormat::YUY2;
  static constexpr Packed422Order kOrder{0, 1, 2, 3};  // Y0 U Y1 V
};
struct UYVYLayout {
  static constexpr PixelFormat kFormat = PixelFormat::UYVY;
  static constexpr Packed422Order kOrder{1, 0, 3, 2};  // U Y0 V Y1
};

// The order of a packed 4:2:2 format (YUY2 or UYVY).
constexpr Packed422Order Packed422OrderOf(PixelFormat format) {
  return format == PixelFormat::YUY2 ? YUY2Layout::kOrder : UYVYLayout::kOrder;
}

}  // namespace pellix
