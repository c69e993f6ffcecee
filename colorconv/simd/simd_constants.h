// Packed constant blocks of the SIMD variants. Kernels load the lanes, the
// scalar models read lane 0, so both use the very same numbers. Each file
// that reads a block keeps its own copy (internal linkage): a shared one
// would be a weak symbol in the kernel objects, which they must not define.
#pragma once

#include <cstdint>

namespace pellix {

// YUV to RGB in units of 1/8192, applied to (Y - 16) * 32 and (C - 128) * 32
// by multiply-high, which leaves results in quarter units.
struct YuvToRgbConstantBlock {
  alignas(8) int16_t lumaGain[4];    // 1.16895
  alignas(8) int16_t vToRed[4];      // 1.60193
  alignas(8) int16_t uToGreen[4];    // -0.39282
  alignas(8) int16_t vToGreen[4];    // -0.81616
  alignas(8) int16_t uToBlue[4];     // 2.02527
  alignas(8) uint8_t blackLevel[8];  // subtracted from Y with unsigned saturation
  alignas(8) int16_t chromaCentre[4];
  alignas(8) int16_t evenPixelMask[4];  // low byte of each word
  alignas(8) int16_t rounding[4];       // one half in quarter units
};

constexpr YuvToRgbConstantBlock YuvToRgbConstants = {
    {9576, 9576, 9576, 9576},     {13123, 13123, 13123, 13123},     {-3218, -3218, -3218, -3218},
    {-6686, -6686, -6686, -6686}, {16591, 16591, 16591, 16591},     {16, 16, 16, 16, 16, 16, 16, 16},
    {128, 128, 128, 128},         {0x00FF, 0x00FF, 0x00FF, 0x00FF}, {2, 2, 2, 2},
};

// RGB to YUV in units of 1/32768, applied to components times 8 (luma) or
// to pair sums times 4 (chroma); results are in quarter units.
struct RgbToYuvConstantBlock {
  alignas(8) int16_t blueToY[4];   // 0.09753
  alignas(8) int16_t greenToY[4];  // 0.50217
  alignas(8) int16_t redToY[4];    // 0.25580
  alignas(8) int16_t lumaBias[4];  // 16.5: black level plus rounding
  alignas(8) int16_t lumaRounding[4];
  alignas(8) int16_t lumaBlackLevel[4];  // added after the shift
  alignas(8) int16_t blueToU[4];         // 0.43750, also red to V
  alignas(8) int16_t greenToU[4];        // 0.29016, subtracted
  alignas(8) int16_t redToU[4];          // -0.14789
  alignas(8) int16_t greenToV[4];        // 0.36636, subtracted
  alignas(8) int16_t blueToV[4];         // -0.07117
  alignas(8) int16_t chromaBias[4];      // 128.5: centre plus rounding
};

constexpr RgbToYuvConstantBlock RgbToYuvConstants = {
    {3196, 3196, 3196, 3196},
    {16455, 16455, 16455, 16455},
    {8382, 8382, 8382, 8382},
    {66, 66, 66, 66},
    {2, 2, 2, 2},
    {16, 16, 16, 16},
    {14336, 14336, 14336, 14336},
    {9508, 9508, 9508, 9508},
    {-4846, -4846, -4846, -4846},
    {12005, 12005, 12005, 12005},
    {-2332, -2332, -2332, -2332},
    {514, 514, 514, 514},
};

}  // namespace pellix
