#include "colorconv/simd/bgra_to_planar420_wide_body.h"
#include "colorconv/simd/row_kernels.h"
#include "colorconv/simd/widest_first.h"

namespace pellix {
namespace {

// The last 32 pixels of both rows as one step of 64: luma works per pixel,
// and the chroma of the two rows' pairs lands in neighbouring 128-bit lanes
// (U of the first row, U of the second, V of the first, V of the second),
// where a lane swap lines them up for the byte average. Half the work of a
// step per row pair, where a 256-bit step for the two rows would cost a
// whole one.
void PairRowEnds(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u, uint8_t* v) {
  const PlanarConstants<Zmm> c = LoadPlanarConstants<Zmm>();
  const Registers<Zmm> px = {Zmm::Load(src0), Zmm::Load(src0 + Zmm::kBytes), Zmm::Load(src1),
                             Zmm::Load(src1 + Zmm::kBytes)};
  const Components<Zmm> both = Split<Zmm>(px, c);
  const Zmm::V luma = LumaBytes<Zmm>(both, c);
  Zmm::StoreLowHalf(y0, luma);
  Zmm::StoreHighHalf(y1, luma);
  const Zmm::V planes = ChromaPlanes<Zmm>(ChromaBytes<Zmm>(both, c), c);
  const Zmm::V combined = Zmm::AverageBytes(planes, _mm512_shuffle_i64x2(planes, planes, _MM_SHUFFLE(2, 3, 0, 1)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(u), _mm512_castsi512_si128(combined));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(v), _mm512_extracti32x4_epi32(combined, 2));
}

}  // namespace

// Steps of 64 pixels, then the last 32 of each row (the group is 32).
void BGRAToPlanar420PairRow_AVX512(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                                   uint8_t* v, int32_t pixels) {
  const int32_t x = BgraToPlanarPairRows<Zmm>(src0, src1, y0, y1, u, v, pixels);
  if (x < pixels) PairRowEnds(src0 + 4 * x, src1 + 4 * x, y0 + x, y1 + x, u + x / 2, v + x / 2);
}

// Steps of 64 pixels, then one 256-bit step for a last group of 32.
void BGRAToPlanar420LumaRow_AVX512(const uint8_t* src, uint8_t* y, int32_t pixels) {
  WidestFirst<Zmm, Ymm>(0, [&](auto width, ptrdiff_t at) {
    if (at == pixels) return at;
    const int32_t rest = static_cast<int32_t>(pixels - at);
    return at + BgraToPlanarLumaRow<decltype(width)>(src + 4 * at, y + at, rest);
  });
}

}  // namespace pellix
