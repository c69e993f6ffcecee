// Whole-frame reference of each variant, built row by row from the scalar
// models of the variants' arithmetic: every row with its chroma row
// from ChromaRowForLumaRow, every pixel by the variant's own arithmetic.
#pragma once

#include <cstddef>
#include <cstdint>

#include "colorconv/routines.h"
#include "formats/planar_layout.h"
#include "tests/simd/models/bgra_to_planar420_model.h"
#include "tests/simd/models/planar420_to_bgra_model.h"
#include "tests/simd/models/planar420_to_yuy2_model.h"
#include "tests/simd/models/yuy2_to_planar420_model.h"

namespace pellix::test {

// The argument list of a planar-to-packed routine.
struct PlanarToPackedArgs {
  const uint8_t* srcY;
  int32_t srcYStride;
  const uint8_t* srcU;
  const uint8_t* srcV;
  int32_t srcChromaStride;
  uint8_t* dst;
  int32_t width;
  int32_t height;
  int32_t dstStride;
  const ColorAdjustment* adjust;
  int32_t interlaced;

  void CallWith(Planar420ToPackedRoutine routine) const {
    routine(srcY, srcYStride, srcU, srcV, srcChromaStride, dst, width, height, dstStride, adjust, interlaced);
  }
};

// The argument list of a to-planar routine, flip and interlaced 0.
struct ToPlanarArgs {
  int32_t width;
  int32_t height;
  const uint8_t* src;
  int32_t srcPitch;
  uint8_t* dstY;
  uint8_t* dstU;
  uint8_t* dstV;
  int32_t dstYStride;

  int32_t CallWith(ToPlanar420Routine routine) const {
    return routine(width, height, src, srcPitch, dstY, dstU, dstV, dstYStride, 0, 0);
  }
};

inline ptrdiff_t Offset(int64_t row, int64_t pitch) { return static_cast<ptrdiff_t>(row * pitch); }

// Planar420ToYUY2. passThroughWhenIdentity: the SSE2 variant copies samples unchanged
// when the record says it is the identity.
inline void Planar420ToYUY2FrameModel(const PlanarToPackedArgs& a, bool passThroughWhenIdentity) {
  if (a.width < 2 || a.height < 2) return;
  const ColorAdjustment& adjust = *a.adjust;
  const bool passThrough = passThroughWhenIdentity && adjust.isIdentity == 1;
  for (int32_t r = 0; r < a.height; ++r) {
    const ptrdiff_t c = Offset(ChromaRowForLumaRow(r, a.height, a.interlaced), a.srcChromaStride);
    Planar420ToYUY2RowModel(a.srcY + Offset(r, a.srcYStride), a.srcU + c, a.srcV + c,
                            a.dst + Offset(r, 2 * int64_t{a.dstStride}), 0, a.width, adjust, passThrough);
  }
}

// Planar420ToBGRA. A negative height reads the source bottom-up: output row r shows
// source row |height| - 1 - r with that row's chroma.
inline void Planar420ToBGRAFrameModel(const PlanarToPackedArgs& a) {
  const int64_t rows = a.height < 0 ? -int64_t{a.height} : a.height;
  if (a.width < 2 || rows < 2) return;
  const int32_t h = static_cast<int32_t>(rows);
  for (int32_t r = 0; r < h; ++r) {
    const int32_t s = a.height < 0 ? h - 1 - r : r;
    const ptrdiff_t c = Offset(ChromaRowForLumaRow(s, h, a.interlaced), a.srcChromaStride);
    Planar420ToBGRARowModel(a.srcY + Offset(s, a.srcYStride), a.srcU + c, a.srcV + c,
                            a.dst + Offset(r, 4 * int64_t{a.dstStride}), 0, a.width, *a.adjust);
  }
}

// BGRAToPlanar420 and YUY2ToPlanar420: luma of every row, chroma row m from rows 2m and 2m + 1
// for m < height / 2.
template <class RowModel>
void ToPlanarFrameModel(const ToPlanarArgs& a, ChromaRowRule rule, RowModel&& rowModel) {
  if (a.width < 2 || a.height < 2) return;
  for (int32_t r = 0; r < a.height; ++r) {
    const int32_t m = r / 2;
    const bool hasChroma = m < a.height / 2;
    const ptrdiff_t c = static_cast<ptrdiff_t>(ChromaRowOffset(m, a.dstYStride, rule));
    const PlanarDestinationRow row{a.src + Offset(r, a.srcPitch), a.dstY + Offset(r, a.dstYStride),
                                   hasChroma ? a.dstU + c : nullptr, hasChroma ? a.dstV + c : nullptr,
                                   !hasChroma ? ChromaPass::None : (r % 2 ? ChromaPass::Second : ChromaPass::First)};
    rowModel(row);
  }
}

inline void BGRAToPlanar420FrameModel(const ToPlanarArgs& a, SecondRowAverage average) {
  ToPlanarFrameModel(a, ChromaRowRule::HalfOfLumaOffset,
                     [&](const PlanarDestinationRow& row) { BGRAToPlanar420RowModel(row, 0, a.width, average); });
}

inline void YUY2ToPlanar420FrameModel(const ToPlanarArgs& a, SecondRowAverage average) {
  ToPlanarFrameModel(a, ChromaRowRule::HalvedStride,
                     [&](const PlanarDestinationRow& row) { YUY2ToPlanar420RowModel(row, 0, a.width, average); });
}

}  // namespace pellix::test
