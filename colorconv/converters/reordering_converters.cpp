// The two converters that only rearrange samples; each serves both directions.
#include "colorconv/converters.h"
#include "colorconv/converters/conversion_paths.h"

namespace pellix {

bool ConvertI420ToYV12(Tessel::Frame* src, const Tessel::ImageProperties* props, uint8_t, Tessel::Frame* dst) {
  return converters::CopyPlanesSwappingChroma(src, props, dst);
}

bool ConvertYUY2ToUYVY(Tessel::Frame* src, const Tessel::ImageProperties*, uint8_t, Tessel::Frame* dst) {
  return converters::SwapPackedBytePairs(src, dst);
}

}  // namespace pellix
