// The AVX-512 kernels that produce BGRA: groups of 32 pixels, run 64 at a
// time in 512-bit registers and a last odd 32 in 256-bit ones, so a row of
// 352 pixels takes no padded copy.
#include "colorconv/simd/packed_to_bgra_wide_body.h"
#include "colorconv/simd/planar420_to_bgra_wide_body.h"
#include "colorconv/simd/row_kernels.h"
#include "colorconv/simd/widest_first.h"

namespace pellix {
namespace {

// Runs convert(registers, first pixel, pixel count) with Zmm over whole
// 64-pixel steps and Ymm over the rest (0 or 32 pixels).
template <class Convert>
void Split(int32_t pixels, Convert convert) {
  WidestFirst<Zmm, Ymm>(0, [&](auto width, ptrdiff_t at) {
    using Reg = decltype(width);
    const int32_t count = static_cast<int32_t>((pixels - at) / Reg::kBytes * Reg::kBytes);
    if (count > 0) convert(width, static_cast<int32_t>(at), count);
    return at + count;
  });
}

}  // namespace

void Planar420ToBGRARow_AVX512(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                               const ColorAdjustment& adjust, bool stream) {
  Split(pixels, [&](auto registers, int32_t at, int32_t count) {
    Planar420ToBgraRow<decltype(registers)>(y + at, u + at / 2, v + at / 2, d + 4 * at, count, adjust, stream);
  });
}

void YUY2ToBGRARow_AVX512(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  Split(pixels, [&](auto registers, int32_t at, int32_t count) {
    PackedToBgraRow<decltype(registers), YUY2Layout>(src + 2 * at, dst + 4 * at, count, stream);
  });
}

void UYVYToBGRARow_AVX512(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream) {
  Split(pixels, [&](auto registers, int32_t at, int32_t count) {
    PackedToBgraRow<decltype(registers), UYVYLayout>(src + 2 * at, dst + 4 * at, count, stream);
  });
}

}  // namespace pellix
