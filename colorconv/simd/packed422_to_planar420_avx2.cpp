#include "colorconv/simd/packed422_to_planar420_body.h"
#include "colorconv/simd/row_kernels.h"

namespace pellix {

void YUY2ToPlanar420PairRow_AVX2(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                                 uint8_t* v, int32_t pixels) {
  PairSteps<YUY2Layout, RowAverage::Rounding, Ymm, Xmm>(src0, src1, y0, y1, u, v, pixels);
}

void YUY2ToPlanar420LumaRow_AVX2(const uint8_t* src, uint8_t* y, int32_t pixels) {
  LumaSteps<YUY2Layout, Ymm, Xmm>(src, y, pixels);
}

void UYVYToPlanar420PairRow_AVX2(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                                 uint8_t* v, int32_t pixels) {
  PairSteps<UYVYLayout, RowAverage::Truncating, Ymm, Xmm>(src0, src1, y0, y1, u, v, pixels);
}

void UYVYToPlanar420LumaRow_AVX2(const uint8_t* src, uint8_t* y, int32_t pixels) {
  LumaSteps<UYVYLayout, Ymm, Xmm>(src, y, pixels);
}

}  // namespace pellix
