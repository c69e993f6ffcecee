#include <xmmintrin.h>

#include "colorconv/simd/planar420_to_yuy2_body64.h"
#include "colorconv/simd/row_kernels.h"

namespace pellix {
namespace {

struct Sse {
  static void PrefetchOutput(const uint8_t* out) { _mm_prefetch(HintAddress(out, 64), _MM_HINT_NTA); }
  static void Store(uint8_t* p, __m64 m, bool stream) {
    if (stream)
      _mm_stream_pi(reinterpret_cast<__m64*>(p), m);
    else
      Store8(p, m);
  }
  // Streaming stores are ordered before whatever hands the frame on.
  static void Finish(bool stream) {
    _mm_empty();
    if (stream) _mm_sfence();
  }
};

}  // namespace

void Planar420ToYUY2Row_SSE(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                            const ColorAdjustment& adjust, bool stream) {
  Planar420ToYUY2Groups<Sse>(y, u, v, d, pixels, adjust, stream);
}

}  // namespace pellix
