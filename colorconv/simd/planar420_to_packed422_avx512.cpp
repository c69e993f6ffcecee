#include "colorconv/simd/planar420_to_packed422_body.h"
#include "colorconv/simd/row_kernels.h"

namespace pellix {

void Planar420ToYUY2Row_AVX512(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                               const ColorAdjustment& adjust, bool stream) {
  Planar420ToYUY2Row<Zmm, Ymm, Xmm>(y, u, v, d, pixels, adjust, stream);
}

void Planar420ToUYVYRow_AVX512(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                               const ColorAdjustment& adjust, bool stream) {
  Planar420ToUYVYRow<Zmm, Ymm, Xmm>(y, u, v, d, pixels, adjust, stream);
}

}  // namespace pellix
