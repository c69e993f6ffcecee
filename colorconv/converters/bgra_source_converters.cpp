// BGRA to the planar formats (slot 5) and to YUY2 and UYVY (slots 8, 9).
#include "colorconv/converters.h"
#include "colorconv/converters/conversion_paths.h"

namespace pellix {

using converters::ConvertBgraToPacked;
using converters::ConvertToPlanar;
using converters::PlaneOrder;

bool ConvertBGRAToI420(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t, Tessel::Frame* dst) {
  return ConvertToPlanar(src, PixelFormat::BGRA, dst, PlaneOrder::UFirst, ActiveConversionRoutines().bgraToPlanar420);
}

bool ConvertBGRAToYV12(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t, Tessel::Frame* dst) {
  return ConvertToPlanar(src, PixelFormat::BGRA, dst, PlaneOrder::VFirst, ActiveConversionRoutines().bgraToPlanar420);
}

bool ConvertBGRAToYUY2(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t, Tessel::Frame* dst) {
  return ConvertBgraToPacked(src, dst, PixelFormat::YUY2, ActiveConversionRoutines().bgraToYUY2);
}

bool ConvertBGRAToUYVY(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t, Tessel::Frame* dst) {
  return ConvertBgraToPacked(src, dst, PixelFormat::UYVY, ActiveConversionRoutines().bgraToUYVY);
}

}  // namespace pellix
