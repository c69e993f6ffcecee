// YUY2 and UYVY to BGRA (slots 3, 4) and to the planar formats (slots 6, 7).
#include "colorconv/converters.h"
#include "colorconv/converters/conversion_paths.h"

namespace pellix {

using converters::ConvertPackedToBgra;
using converters::ConvertToPlanar;
using converters::PlaneOrder;

bool ConvertYUY2ToBGRA(Tessel::Frame* src, const Tessel::ImageProperties* props, uint8_t, Tessel::Frame* dst) {
  return ConvertPackedToBgra(src, props, dst, ActiveConversionRoutines().yuy2ToBGRA);
}

bool ConvertUYVYToBGRA(Tessel::Frame* src, const Tessel::ImageProperties* props, uint8_t, Tessel::Frame* dst) {
  return ConvertPackedToBgra(src, props, dst, ActiveConversionRoutines().uyvyToBGRA);
}

bool ConvertYUY2ToI420(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t, Tessel::Frame* dst) {
  return ConvertToPlanar(src, PixelFormat::YUY2, dst, PlaneOrder::UFirst, ActiveConversionRoutines().yuy2ToPlanar420);
}

bool ConvertYUY2ToYV12(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t, Tessel::Frame* dst) {
  return ConvertToPlanar(src, PixelFormat::YUY2, dst, PlaneOrder::VFirst, ActiveConversionRoutines().yuy2ToPlanar420);
}

bool ConvertUYVYToI420(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t, Tessel::Frame* dst) {
  return ConvertToPlanar(src, PixelFormat::UYVY, dst, PlaneOrder::UFirst, ActiveConversionRoutines().uyvyToPlanar420);
}

bool ConvertUYVYToYV12(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t, Tessel::Frame* dst) {
  return ConvertToPlanar(src, PixelFormat::UYVY, dst, PlaneOrder::VFirst, ActiveConversionRoutines().uyvyToPlanar420);
}

}  // namespace pellix
