#include "colorconv/converters.h"

namespace pellix {

FrameConverter FrameConverterFor(PixelFormat input, PixelFormat output) {
  struct Pair {
    PixelFormat input;
    PixelFormat output;
    FrameConverter converter;
  };
  static constexpr Pair kPairs[] = {
      {PixelFormat::I420, PixelFormat::YV12, ConvertI420ToYV12},
      {PixelFormat::I420, PixelFormat::UYVY, ConvertI420ToUYVY},
      {PixelFormat::I420, PixelFormat::YUY2, ConvertI420ToYUY2},
      {PixelFormat::I420, PixelFormat::BGRA, ConvertI420ToBGRA},
      {PixelFormat::YV12, PixelFormat::I420, ConvertYV12ToI420},
      {PixelFormat::YV12, PixelFormat::UYVY, ConvertYV12ToUYVY},
      {PixelFormat::YV12, PixelFormat::YUY2, ConvertYV12ToYUY2},
      {PixelFormat::YV12, PixelFormat::BGRA, ConvertYV12ToBGRA},
      {PixelFormat::UYVY, PixelFormat::I420, ConvertUYVYToI420},
      {PixelFormat::UYVY, PixelFormat::YV12, ConvertUYVYToYV12},
      {PixelFormat::UYVY, PixelFormat::YUY2, ConvertUYVYToYUY2},
      {PixelFormat::UYVY, PixelFormat::BGRA, ConvertUYVYToBGRA},
      {PixelFormat::YUY2, PixelFormat::I420, ConvertYUY2ToI420},
      {PixelFormat::YUY2, PixelFormat::YV12, ConvertYUY2ToYV12},
      {PixelFormat::YUY2, PixelFormat::UYVY, ConvertYUY2ToUYVY},
      {PixelFormat::YUY2, PixelFormat::BGRA, ConvertYUY2ToBGRA},
      {PixelFormat::BGRA, PixelFormat::I420, ConvertBGRAToI420},
      {PixelFormat::BGRA, PixelFormat::YV12, ConvertBGRAToYV12},
      {PixelFormat::BGRA, PixelFormat::UYVY, ConvertBGRAToUYVY},
      {PixelFormat::BGRA, PixelFormat::YUY2, ConvertBGRAToYUY2},
  };
  for (const Pair& pair : kPairs) {
    if (pair.input == input && pair.output == output) return pair.converter;
  }
  return nullptr;
}

}  // namespace pellix
