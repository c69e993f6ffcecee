#include "colorconv/simd/planar420_to_yuy2_body64.h"
#include "colorconv/simd/row_kernels.h"

namespace pellix {
namespace {

// No prefetch hint and no streaming store: this kernel runs only on
// processors without SSE, where those instructions do not exist.
struct Mmx {
  static void PrefetchOutput(const uint8_t*) {}
  static void Store(uint8_t* p, __m64 m, bool) { Store8(p, m); }
  static void Finish(bool) { _mm_empty(); }
};

}  // namespace

void Planar420ToYUY2Row_MMX(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                            const ColorAdjustment& adjust, bool stream) {
  Planar420ToYUY2Groups<Mmx>(y, u, v, d, pixels, adjust, stream);
}

}  // namespace pellix
