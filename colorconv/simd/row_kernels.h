// Row kernels: the vector bodies of the SIMD variants. A kernel converts a
// whole number of its groups of pixels of one row (or of one row pair) and
// nothing else; the frame walks (frame_walks.h) drive it over a frame and
// hand it the last partial group of a row as a padded copy, so no kernel
// carries tail code and none reads or writes past a row.
//
// Kernels treat the four lanes of each packed adjustment field as equal,
// which the one initialiser of ColorAdjustment guarantees.
#pragma once

#include <cstdint>

#include "colorconv/routines.h"

namespace pellix {

// Planar-to-packed rows (planar 4:2:0 to packed): `pixels` luma bytes with their
// pixels / 2 U and V bytes to `pixels` packed pixels. `stream` allows
// stores that bypass the caches (a hint: the bytes are the same).
using Planar420ToPackedRow = void (*)(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst,
                                      int32_t pixels, const ColorAdjustment& adjust, bool stream);

// Packed-to-packed rows: `pixels` pixels (an even count).
using PackedToPackedRow = void (*)(const uint8_t* src, uint8_t* dst, int32_t pixels, bool stream);

// To-planar rows (to planar 4:2:0): two source rows of `pixels` pixels to two
// luma rows and one row of each chroma plane ...
using ToPlanar420PairRow = void (*)(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                                    uint8_t* v, int32_t pixels);
// ... and a last odd row, which has no chroma row, to luma only.
using ToPlanar420LumaRow = void (*)(const uint8_t* src, uint8_t* y, int32_t pixels);

// The groups a frame walk hands its kernels: pixels per group, at most
// kMaxGroupPixels (the size of the walks' padded row ends).
constexpr int32_t kMaxGroupPixels = 64;

struct PlanarToPackedKernel {
  Planar420ToPackedRow row;
  int32_t groupPixels;
};

struct PackedToPackedKernel {
  PackedToPackedRow row;
  int32_t groupPixels;
};

struct ToPlanarKernel {
  ToPlanar420PairRow pair;
  ToPlanar420LumaRow luma;
  int32_t groupPixels;
};

// The kernels of the variants every x86 processor generation has had.
void Planar420ToYUY2Row_MMX(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int32_t, const ColorAdjustment&,
                            bool);
void Planar420ToYUY2Row_SSE(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int32_t, const ColorAdjustment&,
                            bool);
void Planar420ToYUY2Row_SSE2(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int32_t, const ColorAdjustment&,
                             bool);
void Planar420ToBGRARow_MMX(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int32_t, const ColorAdjustment&,
                            bool);
void BGRAToPlanar420PairRow_MMX(const uint8_t*, const uint8_t*, uint8_t*, uint8_t*, uint8_t*, uint8_t*, int32_t);
void BGRAToPlanar420PairRow_SSE(const uint8_t*, const uint8_t*, uint8_t*, uint8_t*, uint8_t*, uint8_t*, int32_t);
void BGRAToPlanar420LumaRow_MMX(const uint8_t*, uint8_t*, int32_t);
void YUY2ToPlanar420PairRow_MMX(const uint8_t*, const uint8_t*, uint8_t*, uint8_t*, uint8_t*, uint8_t*, int32_t);
void YUY2ToPlanar420PairRow_SSE(const uint8_t*, const uint8_t*, uint8_t*, uint8_t*, uint8_t*, uint8_t*, int32_t);
void YUY2ToPlanar420LumaRow_MMX(const uint8_t*, uint8_t*, int32_t);

// Repacking kernels of the wide tiers: the same bytes as each routine's
// reference variant.
void Planar420ToYUY2Row_AVX2(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int32_t, const ColorAdjustment&,
                             bool);
void Planar420ToYUY2Row_AVX512(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int32_t,
                               const ColorAdjustment&, bool);
void Planar420ToUYVYRow_AVX2(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int32_t, const ColorAdjustment&,
                             bool);
void Planar420ToUYVYRow_AVX512(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int32_t,
                               const ColorAdjustment&, bool);
void YUY2ToPlanar420PairRow_AVX2(const uint8_t*, const uint8_t*, uint8_t*, uint8_t*, uint8_t*, uint8_t*, int32_t);
void YUY2ToPlanar420PairRow_AVX512(const uint8_t*, const uint8_t*, uint8_t*, uint8_t*, uint8_t*, uint8_t*, int32_t);
void YUY2ToPlanar420LumaRow_AVX2(const uint8_t*, uint8_t*, int32_t);
void YUY2ToPlanar420LumaRow_AVX512(const uint8_t*, uint8_t*, int32_t);
void UYVYToPlanar420PairRow_AVX2(const uint8_t*, const uint8_t*, uint8_t*, uint8_t*, uint8_t*, uint8_t*, int32_t);
void UYVYToPlanar420PairRow_AVX512(const uint8_t*, const uint8_t*, uint8_t*, uint8_t*, uint8_t*, uint8_t*, int32_t);
void UYVYToPlanar420LumaRow_AVX2(const uint8_t*, uint8_t*, int32_t);
void UYVYToPlanar420LumaRow_AVX512(const uint8_t*, uint8_t*, int32_t);
void YUY2ToUYVYRow_AVX2(const uint8_t*, uint8_t*, int32_t, bool);
void YUY2ToUYVYRow_AVX512(const uint8_t*, uint8_t*, int32_t, bool);
// The wide kernels that produce BGRA: 32-pixel groups.
void Planar420ToBGRARow_AVX2(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int32_t, const ColorAdjustment&,
                             bool);
void Planar420ToBGRARow_AVX512(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int32_t,
                               const ColorAdjustment&, bool);
void YUY2ToBGRARow_AVX2(const uint8_t*, uint8_t*, int32_t, bool);
void YUY2ToBGRARow_AVX512(const uint8_t*, uint8_t*, int32_t, bool);
void UYVYToBGRARow_AVX2(const uint8_t*, uint8_t*, int32_t, bool);
void UYVYToBGRARow_AVX512(const uint8_t*, uint8_t*, int32_t, bool);
// The kernels of the wide tiers (x86-64 only).
void BGRAToPlanar420PairRow_AVX2(const uint8_t*, const uint8_t*, uint8_t*, uint8_t*, uint8_t*, uint8_t*, int32_t);
void BGRAToPlanar420LumaRow_AVX2(const uint8_t*, uint8_t*, int32_t);
void BGRAToPlanar420PairRow_AVX512(const uint8_t*, const uint8_t*, uint8_t*, uint8_t*, uint8_t*, uint8_t*, int32_t);
void BGRAToPlanar420LumaRow_AVX512(const uint8_t*, uint8_t*, int32_t);
void BGRAToYUY2Row_AVX2(const uint8_t*, uint8_t*, int32_t, bool);
void BGRAToUYVYRow_AVX2(const uint8_t*, uint8_t*, int32_t, bool);
void BGRAToYUY2Row_AVX512(const uint8_t*, uint8_t*, int32_t, bool);
void BGRAToUYVYRow_AVX512(const uint8_t*, uint8_t*, int32_t, bool);

}  // namespace pellix
