// Scalar arithmetic of the BGRAToPlanar420 variants (BGRA to planar 4:2:0): each of
// the three products floored separately; chroma from a horizontal pair, the
// two rows of a block combined by a truncating (MMX) or rounding (SSE) byte
// average.
#pragma once

#include <cstdint>

#include "colorconv/simd/simd_constants.h"
#include "tests/simd/models/lane_arithmetic.h"
#include "tests/simd/models/planar_destination_row.h"

namespace pellix {

enum class SecondRowAverage { Truncating, Rounding };

inline uint8_t LumaFromBgraMmx(uint8_t b, uint8_t g, uint8_t r) {
  const RgbToYuvConstantBlock& k = RgbToYuvConstants;
  const int16_t sum = AddSaturate(AddSaturate(AddSaturate(MulHigh(static_cast<int16_t>(b * 8), k.blueToY[0]),
                                                          MulHigh(static_cast<int16_t>(g * 8), k.greenToY[0])),
                                              MulHigh(static_cast<int16_t>(r * 8), k.redToY[0])),
                                  k.lumaBias[0]);
  return PackUnsigned(static_cast<int16_t>(static_cast<uint16_t>(sum) >> 2));
}

struct ChromaWords {
  int16_t u;
  int16_t v;
};

// Chroma of pixels p0, p1 (B, G, R at bytes 0, 1, 2) before packing.
inline ChromaWords ChromaFromBgraPairMmx(const uint8_t* p0, const uint8_t* p1) {
  const RgbToYuvConstantBlock& k = RgbToYuvConstants;
  const int16_t sb = static_cast<int16_t>(4 * (p0[0] + p1[0]));
  const int16_t sg = static_cast<int16_t>(4 * (p0[1] + p1[1]));
  const int16_t sr = static_cast<int16_t>(4 * (p0[2] + p1[2]));
  const int16_t u = SubWrap(MulHigh(sb, k.blueToU[0]), SubWrap(MulHigh(sg, k.greenToU[0]), MulHigh(sr, k.redToU[0])));
  const int16_t v = SubWrap(MulHigh(sb, k.blueToV[0]), SubWrap(MulHigh(sg, k.greenToV[0]), MulHigh(sr, k.blueToU[0])));
  return {ShiftRightArithmetic(AddWrap(u, k.chromaBias[0]), 2), ShiftRightArithmetic(AddWrap(v, k.chromaBias[0]), 2)};
}

// The byte stored for chroma word c: packed on the first row of a pair,
// combined with the stored byte on the second.
inline uint8_t CombineChromaMmxOrSse(int16_t c, uint8_t stored, ChromaPass pass, SecondRowAverage average) {
  if (pass == ChromaPass::First) return PackUnsigned(c);
  if (average == SecondRowAverage::Rounding) return AverageRounding(stored, PackUnsigned(c));
  return PackUnsigned(ShiftRightArithmetic(AddWrap(c, stored), 1));
}

// Pixels [xBegin, width) of one source row; xBegin is even.
inline void BGRAToPlanar420RowModel(const PlanarDestinationRow& row, int32_t xBegin, int32_t width,
                                    SecondRowAverage average) {
  for (int32_t x = xBegin; x < width; ++x) {
    const uint8_t* p = row.src + 4 * static_cast<int64_t>(x);
    row.y[x] = LumaFromBgraMmx(p[0], p[1], p[2]);
  }
  if (row.pass == ChromaPass::None) return;
  for (int32_t j = xBegin / 2; j < width / 2; ++j) {
    const uint8_t* p = row.src + 8 * static_cast<int64_t>(j);
    const ChromaWords c = ChromaFromBgraPairMmx(p, p + 4);
    row.u[j] = CombineChromaMmxOrSse(c.u, row.u[j], row.pass, average);
    row.v[j] = CombineChromaMmxOrSse(c.v, row.v[j], row.pass, average);
  }
}

}  // namespace pellix
