#include "colorconv/simd/bgra_to_packed422_wide_body.h"
#include "colorconv/simd/row_kernels.h"

namespace pellix {

void BGRAToYUY2Row_AVX2(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  BgraToPackedRow<Ymm, YUY2Layout>(src, dst, pixels, stream);
}

void BGRAToUYVYRow_AVX2(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  BgraToPackedRow<Ymm, UYVYLayout>(src, dst, pixels, stream);
}

}  // namespace pellix
