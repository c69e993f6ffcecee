#include "colorconv/simd/bgra_to_packed422_wide_body.h"
#include "colorconv/simd/row_kernels.h"

namespace pellix {
namespace {

// 512-bit steps, then one 256-bit step for a last group of 16 pixels.
template <class Layout>
void BgraToPacked(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  const int32_t done = BgraToPackedRow<Zmm, Layout>(src, dst, pixels, stream);
  if (done < pixels) BgraToPackedRow<Ymm, Layout>(src + 4 * done, dst + 2 * done, pixels - done, stream);
}

}  // namespace

void BGRAToYUY2Row_AVX512(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  BgraToPacked<YUY2Layout>(src, dst, pixels, stream);
}

void BGRAToUYVYRow_AVX512(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  BgraToPacked<UYVYLayout>(src, dst, pixels, stream);
}

}  // namespace pellix
