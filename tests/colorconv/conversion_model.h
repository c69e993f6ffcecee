// An independent model of the five pixel layouts and of what each frame
// converter must produce, used to check converters byte for byte over the
// whole destination buffer (converted region and untouched slack alike).
// Per-pixel arithmetic is taken from the routine in the active slot, driven
// on a one-block frame, so that the model checks where samples go and which
// samples meet, whichever variant this processor runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/pixel_format.h"
#include "formats/planar_layout.h"

namespace pellix {
namespace testing_support {

// Smallest stride (pixels) that holds a row of `width` pixels.
int32_t MinimumStride(PixelFormat format, int32_t width);

// Where the chroma planes of a planar frame lie, by the placement rules of
// formats/planar_layout.h (the layout has one definition; the model checks
// that converters follow it).
struct PlanarLayout {
  int64_t stride;
  int64_t first;   // U for I420, V for YV12
  int64_t second;  // V for I420, U for YV12
  ChromaRowRule rows;

  int64_t ChromaRow(int64_t m) const { return ChromaRowOffset(m, stride, rows); }
};
PlanarLayout SourcePlanarLayout(int64_t height, int64_t stride);
// The layout a converter writes into a planar destination, which depends on
// the source format.
PlanarLayout DestinationPlanarLayout(PixelFormat source, int64_t height, int64_t stride);

struct Scenario {
  PixelFormat input;
  PixelFormat output;
  int32_t width;
  int32_t height;
  int32_t sourceStride;
  int32_t destinationStride;
  uint8_t interlaced;

  std::string Describe() const;
};

// Strides of `extra` pixels beyond the minimum, widened where a whole-pitch
// routine needs the other frame's rows to match.
Scenario MakeScenario(PixelFormat input, PixelFormat output, int32_t width, int32_t height, int32_t sourceExtra,
                      int32_t destinationExtra, uint8_t interlaced);

// Bytes of a frame of that layout with every plane holding whole rows.
size_t SourceSize(const Scenario& scenario);
size_t DestinationSize(const Scenario& scenario);

// Random source bytes; the two rows of each packed 4:2:2 row pair carry the
// same chroma, so that every variant's vertical average is exact.
std::vector<uint8_t> SourceContent(const Scenario& scenario, uint32_t seed);

struct Expectation {
  bool converts;
  std::vector<uint8_t> destination;  // the whole destination buffer afterwards
  int64_t readEnd;                   // one past the last source byte the conversion needs
  int64_t writeEnd;                  // one past the last destination byte it writes
};

// What the converter of scenario's pair must do to a destination holding
// `prefill`, with the image description equal to the source frame's.
Expectation Expect(const Scenario& scenario, const std::vector<uint8_t>& source, const std::vector<uint8_t>& prefill);

}  // namespace testing_support
}  // namespace pellix
