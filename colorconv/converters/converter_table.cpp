#include "colorconv/converters.h"

namespace pellix {

FrameConverter FrameConverterFor(PixelFormat input, PixelFormat output) { return PairConverterFor(input, output); }

}  // namespace pellix
