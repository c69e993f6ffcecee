#include "colorconv/simd/bgra_to_planar420_wide_body.h"
#include "colorconv/simd/row_kernels.h"

namespace pellix {

void BGRAToPlanar420PairRow_AVX2(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                                 uint8_t* v, int32_t pixels) {
  BgraToPlanarPairRows<Ymm>(src0, src1, y0, y1, u, v, pixels);
}

void BGRAToPlanar420LumaRow_AVX2(const uint8_t* src, uint8_t* y, int32_t pixels) {
  BgraToPlanarLumaRow<Ymm>(src, y, pixels);
}

}  // namespace pellix
