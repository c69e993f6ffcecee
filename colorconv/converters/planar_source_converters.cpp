// I420 and YV12 to the packed formats: slots 0 (YUY2), 1 (UYVY), 2 (BGRA).
#include "colorconv/converters.h"
#include "colorconv/converters/conversion_paths.h"

namespace pellix {

using converters::ConvertPlanarToPacked;
using converters::PlaneOrder;

bool ConvertI420ToYUY2(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t interlaced, Tessel::Frame* dst) {
  return ConvertPlanarToPacked(src, interlaced, dst, PlaneOrder::UFirst, PixelFormat::YUY2,
                               ActiveConversionRoutines().planar420ToYUY2);
}

bool ConvertYV12ToYUY2(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t interlaced, Tessel::Frame* dst) {
  return ConvertPlanarToPacked(src, interlaced, dst, PlaneOrder::VFirst, PixelFormat::YUY2,
                               ActiveConversionRoutines().planar420ToYUY2);
}

bool ConvertI420ToUYVY(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t interlaced, Tessel::Frame* dst) {
  return ConvertPlanarToPacked(src, interlaced, dst, PlaneOrder::UFirst, PixelFormat::UYVY,
                               ActiveConversionRoutines().planar420ToUYVY);
}

bool ConvertYV12ToUYVY(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t interlaced, Tessel::Frame* dst) {
  return ConvertPlanarToPacked(src, interlaced, dst, PlaneOrder::VFirst, PixelFormat::UYVY,
                               ActiveConversionRoutines().planar420ToUYVY);
}

bool ConvertI420ToBGRA(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t interlaced, Tessel::Frame* dst) {
  return ConvertPlanarToPacked(src, interlaced, dst, PlaneOrder::UFirst, PixelFormat::BGRA,
                               ActiveConversionRoutines().planar420ToBGRA);
}

bool ConvertYV12ToBGRA(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t interlaced, Tessel::Frame* dst) {
  return ConvertPlanarToPacked(src, interlaced, dst, PlaneOrder::VFirst, PixelFormat::BGRA,
                               ActiveConversionRoutines().planar420ToBGRA);
}

}  // namespace pellix
