#include "colorconv/simd/bgra_to_packed422_wide_body.h"
#include "colorconv/simd/row_kernels.h"
#include "colorconv/simd/widest_first.h"

namespace pellix {
namespace {

// 512-bit steps, then one 256-bit step for a last group of 16 pixels.
template <class Layout>
void BgraToPacked(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  WidestFirst<Zmm, Ymm>(0, [&](auto width, ptrdiff_t at) {
    if (at == pixels) return at;
    const int32_t rest = static_cast<int32_t>(pixels - at);
    return at + BgraToPackedRow<decltype(width), Layout>(src + 4 * at, dst + 2 * at, rest, stream);
  });
}

}  // namespace

void BGRAToYUY2Row_AVX512(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  BgraToPacked<YUY2Layout>(src, dst, pixels, stream);
}

void BGRAToUYVYRow_AVX512(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  BgraToPacked<UYVYLayout>(src, dst, pixels, stream);
}

}  // namespace pellix
