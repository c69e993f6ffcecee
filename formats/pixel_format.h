// The five pixel formats and their sizes.
#pragma once

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

}  // namespace pellix
