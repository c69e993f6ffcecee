// The per-pixel arithmetic of the plain routines, shared by every routine
// that produces or consumes BGRA so that all of them round alike.
#pragma once

#include <cstddef>
#include <cstdint>

#include "colorconv/tables.h"

namespace pellix {
namespace plain {

// Chroma contributions to R, G and B; computed once per pair of pixels
// sharing a chroma sample.
struct ChromaTerms {
  int32_t red;
  int32_t green;
  int32_t blue;
};

inline int32_t Clamp(int32_t value, int32_t low, int32_t high) {
  return value < low ? low : (value > high ? high : value);
}

inline ChromaTerms ChromaTermsFor(uint8_t u, uint8_t v) {
  const int32_t uc = Clamp(u, 16, 240);
  const int32_t vc = Clamp(v, 16, 240);
  return {VToRedTable[vc], VToGreenTable[vc] + UToGreenTable[uc], UToBlueTable[uc]};
}

// Any offset beyond +-256 gives the same clamped luma, so limiting it first
// keeps the sum from overflowing without changing a result.
inline int32_t LimitLumaOffset(int32_t offset) { return Clamp(offset, -256, 256); }

// Writes B, G, R, 255 for luma byte y plus a limited offset.
inline void WriteBgraPixel(uint8_t* out, int32_t y, int32_t limitedOffset, const ChromaTerms& terms) {
  const int32_t luma = LumaToRgbTable[Clamp(y + limitedOffset, 16, 235)];
  out[0] = ClipTable[luma + terms.blue];
  out[1] = ClipTable[luma + terms.green];
  out[2] = ClipTable[luma + terms.red];
  out[3] = 255;
}

// Luma of one BGRA pixel.
inline uint8_t LumaOfBgra(const uint8_t* pixel) {
  return static_cast<uint8_t>(
      (RedToYTable[pixel[2]] + GreenToYTable[pixel[1]] + BlueToYTable[pixel[0]] + kLumaOffset16) >> 16);
}

// U and V of averaged components.
inline uint8_t ChromaUOf(int32_t red, int32_t green, int32_t blue) {
  return static_cast<uint8_t>(
      (RedToUTable[red] + GreenToUTable[green] + ChromaHalfTable[blue] + kChromaOffset16) >> 16);
}
inline uint8_t ChromaVOf(int32_t red, int32_t green, int32_t blue) {
  return static_cast<uint8_t>(
      (ChromaHalfTable[red] + GreenToVTable[green] + BlueToVTable[blue] + kChromaOffset16) >> 16);
}

// Byte offset of row `row` for a pitch that may be large or negative.
inline ptrdiff_t RowOffset(int64_t row, int64_t pitch) { return static_cast<ptrdiff_t>(row * pitch); }

}  // namespace plain
}  // namespace pellix
