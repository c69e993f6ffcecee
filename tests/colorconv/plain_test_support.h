// Helpers shared by the tests of the plain routines.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "colorconv/plain/plain_routines.h"
#include "colorconv/tables.h"

namespace pellix {
namespace testing_support {

inline void BuildTables() {
  BuildYuvToRgbTables();
  BuildRgbToYuvTables();
}

// The block the converters pass, filled without the set-up code.
inline ColorAdjustment AdjustmentWithOffset(int32_t offset) {
  ColorAdjustment adjust{};
  for (int lane = 0; lane < 4; ++lane) {
    adjust.lumaOffsetPacked[lane] = static_cast<int16_t>(offset);
    adjust.lumaGainPacked[lane] = 256;
    adjust.chromaGainPacked[lane] = 256;
  }
  adjust.lumaOffset = offset;
  adjust.lumaGain = 256;
  adjust.chromaGain = 256;
  adjust.isIdentity = offset == 0 ? 1 : 0;
  return adjust;
}

using Bgra = std::array<uint8_t, 4>;

// One YUV-to-BGRA routine, driven on a frame whose pixels all carry y, u, v.
struct YuvToBgraCase {
  std::string name;
  std::function<Bgra(uint8_t y, uint8_t u, uint8_t v)> convert;
};

inline std::vector<YuvToBgraCase> YuvToBgraRoutines() {
  auto planar = [](uint8_t y, uint8_t u, uint8_t v) {
    const uint8_t luma[4] = {y, y, y, y};
    const ColorAdjustment adjust = AdjustmentWithOffset(0);
    uint8_t out[16] = {};
    Planar420ToBGRA(luma, 2, &u, &v, 1, out, 2, 2, 2, &adjust, 0);
    return Bgra{out[12], out[13], out[14], out[15]};
  };
  auto yuy2 = [](uint8_t y, uint8_t u, uint8_t v) {
    const uint8_t in[4] = {y, u, y, v};
    uint8_t out[8] = {};
    YUY2ToBGRA(in, 2, out, 2, 1, 2);
    return Bgra{out[4], out[5], out[6], out[7]};
  };
  auto uyvy = [](uint8_t y, uint8_t u, uint8_t v) {
    const uint8_t in[4] = {u, y, v, y};
    uint8_t out[8] = {};
    UYVYToBGRA(in, 2, out, 2, 1, 2);
    return Bgra{out[4], out[5], out[6], out[7]};
  };
  return {{"Planar420ToBGRA", planar}, {"YUY2ToBGRA", yuy2}, {"UYVYToBGRA", uyvy}};
}

// The shared BGRA-to-YUV rule, from the tables.
inline int LumaOf(int r, int g, int b) {
  return (RedToYTable[r] + GreenToYTable[g] + BlueToYTable[b] + 0x108000) >> 16;
}
inline int ChromaU(int r, int g, int b) {
  return (RedToUTable[r] + GreenToUTable[g] + ChromaHalfTable[b] + 0x808000) >> 16;
}
inline int ChromaV(int r, int g, int b) {
  return (ChromaHalfTable[r] + GreenToVTable[g] + BlueToVTable[b] + 0x808000) >> 16;
}

}  // namespace testing_support
}  // namespace pellix
