// The wide kernels of planar 4:2:0 to YUY2 and UYVY, one body for both
// layouts and every vector width. Per step of Reg::kBytes pixels: that many
// luma bytes and half as many U and V bytes become 2 * Reg::kBytes packed
// bytes. What happens to the samples on the way is a policy:
// - YUY2 (the SSE2 variant's bytes): a record flagged as the identity
//   copies the samples, any other record sends every sample through the
//   adjustment step (luma with the luma gain and offset, U and V with the
//   chroma gain);
// - UYVY (the plain routine's bytes): the luma offset of the record's
//   32-bit field is added modulo 256, chroma is copied.
// The frame walk hands over a multiple of 16 pixels; the widest vectors
// cover most of it and each narrower width what is left.
#pragma once

#include <cstddef>
#include <cstdint>

#include "colorconv/routines.h"
#include "colorconv/simd/adjustment_step.h"
#include "colorconv/simd/row_stores.h"
#include "colorconv/simd/widest_first.h"
#include "formats/packed422_order.h"

namespace pellix {
namespace {

template <class Reg>
struct Unchanged {
  using V = typename Reg::V;
  explicit Unchanged(const ColorAdjustment&) {}
  V Luma(V y) const { return y; }
  V Chroma(V uv) const { return uv; }
};

// The adjustment step on every sample: luma with the luma gain and offset,
// U and V with the chroma gain.
template <class Reg>
struct Adjusted {
  using V = typename Reg::V;
  explicit Adjusted(const ColorAdjustment& a) : record(a) {}
  V Luma(V y) const { return AdjustBytes<Reg>(y, record.lumaGain, record.lumaOffset); }
  V Chroma(V uv) const { return AdjustBytes<Reg>(uv, record.chromaGain, Reg::Zero()); }

  AdjustmentRegisters<Reg> record;
};

// Luma + offset modulo 256: only the offset's low byte matters.
template <class Reg>
struct LumaOffset {
  using V = typename Reg::V;
  explicit LumaOffset(const ColorAdjustment& a) : offset(Reg::Bytes(static_cast<uint8_t>(a.lumaOffset))) {}
  V Luma(V y) const { return Reg::AddBytes(y, offset); }
  V Chroma(V uv) const { return uv; }

  V offset;
};

// Steps of Reg::kBytes pixels from x while whole steps fit; returns where
// they stop.
template <class Layout, template <class> class Samples, bool kStream, class Reg>
ptrdiff_t PackSteps(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, ptrdiff_t x, ptrdiff_t pixels,
                    const ColorAdjustment& adjust) {
  const Samples<Reg> samples(adjust);
  for (; x + Reg::kBytes <= pixels; x += Reg::kBytes) {
    const typename Reg::V luma = samples.Luma(Reg::Load(y + x));
    const typename Reg::V uv = samples.Chroma(Reg::LoadInterleaved(u + x / 2, v + x / 2));
    // Luma byte i meets chroma byte i: Y0 U Y1 V, or U Y0 V Y1.
    if (Layout::kOrder.LumaFirst())
      Reg::template PutLanesAlternating<kStream>(d + 2 * x, Reg::InterleaveLowBytes(luma, uv),
                                                 Reg::InterleaveHighBytes(luma, uv));
    else
      Reg::template PutLanesAlternating<kStream>(d + 2 * x, Reg::InterleaveLowBytes(uv, luma),
                                                 Reg::InterleaveHighBytes(uv, luma));
  }
  return x;
}

template <class Layout, template <class> class Samples, class Widest, class... Narrower>
void PackRow(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
             const ColorAdjustment& adjust, bool stream) {
  WithRowStores<Widest>(d, stream, [&](auto stores) {
    WidestFirst<Widest, Narrower...>(0, [&](auto width, ptrdiff_t x) {
      return PackSteps<Layout, Samples, decltype(stores)::kStreaming, decltype(width)>(y, u, v, d, x, pixels, adjust);
    });
  });
}

template <class... Widths>
void Planar420ToYUY2Row(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                        const ColorAdjustment& adjust, bool stream) {
  if (adjust.isIdentity == 1)
    PackRow<YUY2Layout, Unchanged, Widths...>(y, u, v, d, pixels, adjust, stream);
  else
    PackRow<YUY2Layout, Adjusted, Widths...>(y, u, v, d, pixels, adjust, stream);
}

template <class... Widths>
void Planar420ToUYVYRow(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int32_t pixels,
                        const ColorAdjustment& adjust, bool stream) {
  PackRow<UYVYLayout, LumaOffset, Widths...>(y, u, v, d, pixels, adjust, stream);
}

}  // namespace
}  // namespace pellix
