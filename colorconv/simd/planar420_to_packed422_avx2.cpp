#include "colorconv/simd/planar420_to_packed422_body.h"
#include "colorconv/simd/row_kernels.h"

namespace pellix {

void Planar420ToYUY2Row_AVX2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                             const ColorAdjustment& adjust, bool stream) {
  Planar420ToYUY2Row<Ymm, Xmm>(y, u, v, d, pixels, adjust, stream);
}

void Planar420ToUYVYRow_AVX2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                             const ColorAdjustment& adjust, bool stream) {
  Planar420ToUYVYRow<Ymm, Xmm>(y, u, v, d, pixels, adjust, stream);
}

}  // namespace pellix
