#include "colorconv/simd/bgra_to_planar420_wide_body.h"
#include "colorconv/simd/row_kernels.h"

namespace pellix {

// Steps of 64 pixels in 512-bit registers, then one step of 32 in 256-bit
// registers for a last group of 32.
void BGRAToPlanar420PairRow_AVX512(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                                   uint8_t* v, int32_t pixels) {
  const int32_t x = BgraToPlanarPairRows<Zmm>(src0, src1, y0, y1, u, v, pixels);
  if (x < pixels)
    BgraToPlanarPairRows<Ymm>(src0 + 4 * x, src1 + 4 * x, y0 + x, y1 + x, u + x / 2, v + x / 2, pixels - x);
}

void BGRAToPlanar420LumaRow_AVX512(const uint8_t* src, uint8_t* y, int32_t pixels) {
  const int32_t x = BgraToPlanarLumaRow<Zmm>(src, y, pixels);
  if (x < pixels) BgraToPlanarLumaRow<Ymm>(src + 4 * x, y + x, pixels - x);
}

}  // namespace pellix
