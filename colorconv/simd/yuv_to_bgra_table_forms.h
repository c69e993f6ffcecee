// Integer forms of the YUV-to-RGB lookup tables (colorconv/tables.cpp) over
// the index ranges the plain pixel rule uses after its clamps: luma 16..235,
// chroma 16..240. The vector kernels of YUY2/UYVY to BGRA compute these
// forms with 16-bit multiply-high instructions, and the tests prove each
// form equal to its table at every index, so the two read the constants
// from here only.
//
// Each form is a multiplier and shift of at most 16 bits with an addend
// that gives the table's entry at every index:
// - luma: ((i - 16) * 4 * 19155) >> 16, a multiply-high of (i - 16) * 4;
// - chroma, x = i - 128: T = ((x * 4 * A + 2^14) >> 15), the rounding
//   multiply-high of x * 4, that is floor((x * A + 4096) / 8192); the entry
//   is T, plus one where T is negative. The tables truncate x * c / 256 + 1/2
//   toward zero, so their negative side sits one above the floor of the
//   positive side's line: no single floor-linear form exists (a test shows
//   it), and the step restores the truncation, a shift and a subtraction.
#pragma once

#include <cstdint>

#include "colorconv/tables.h"

namespace pellix {
namespace yuv_to_bgra {

constexpr int32_t kLumaLow = kVideoLumaLow;
constexpr int32_t kLumaHigh = kVideoLumaHigh;
constexpr int32_t kChromaLow = kVideoChromaLow;
constexpr int32_t kChromaHigh = kVideoChromaHigh;
constexpr int32_t kChromaCentre = pellix::kChromaCentre;

// Both forms multiply the sample scaled by 4.
constexpr int32_t kInputShift = 2;

// LumaToRgbTable[i] = multiply-high((i - 16) * 4, kLumaMultiplier).
constexpr int16_t kLumaMultiplier = 19155;

struct ChromaForm {
  int16_t multiplier;  // A: the entry is near x * A / 8192
};

constexpr ChromaForm kVToRedForm{13123};
constexpr ChromaForm kVToGreenForm{-6684};
constexpr ChromaForm kUToGreenForm{-3216};
constexpr ChromaForm kUToBlueForm{16592};

// The forms in scalar code, for the tests; i is the clamped index.
constexpr int32_t LumaByForm(int32_t i) { return ((i - kLumaLow) * (1 << kInputShift) * kLumaMultiplier) >> 16; }

constexpr int32_t ChromaByForm(const ChromaForm& form, int32_t i) {
  const int32_t x = i - kChromaCentre;
  const int32_t rounded = (x * (1 << kInputShift) * form.multiplier + (1 << 14)) >> 15;
  return rounded + (rounded < 0 ? 1 : 0);
}

}  // namespace yuv_to_bgra
}  // namespace pellix
