#include "colorconv/simd/packed422_byte_swap_body.h"
#include "colorconv/simd/row_kernels.h"

namespace pellix {

void YUY2ToUYVYRow_AVX512(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  SwapRow<Zmm, Ymm, Xmm>(src, dst, pixels, stream);
}

}  // namespace pellix
