// The AVX2 kernels that produce BGRA: groups of 32 pixels.
#include "colorconv/simd/packed_to_bgra_wide_body.h"
#include "colorconv/simd/planar420_to_bgra_wide_body.h"
#include "colorconv/simd/row_kernels.h"

namespace pellix {

void Planar420ToBGRARow_AVX2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                             const ColorAdjustment& adjust, bool stream) {
  Planar420ToBgraRow<Ymm>(y, u, v, d, pixels, adjust, stream);
}

void YUY2ToBGRARow_AVX2(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  PackedToBgraRow<Ymm, YUY2Layout>(src, dst, pixels, stream);
}

void UYVYToBGRARow_AVX2(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  PackedToBgraRow<Ymm, UYVYLayout>(src, dst, pixels, stream);
}

}  // namespace pellix
