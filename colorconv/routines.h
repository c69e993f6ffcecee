// The process-wide table of conversion routines, the colour adjustment block
// the planar-to-packed routines receive, and the set-up that fills both.
#pragma once

#include <cstdint>

namespace pellix {

// Gain and offset applied by the planar-to-packed routines. The packed fields
// hold four 16-bit lanes each for the SIMD variants; gains are 8.8 fixed point.
struct ColorAdjustment {
  alignas(8) int16_t lumaOffsetPacked[4];
  alignas(8) int16_t lumaGainPacked[4];
  alignas(8) int16_t chromaGainPacked[4];
  int32_t lumaOffset;
  int32_t lumaGain;
  int32_t chromaGain;
  int32_t isIdentity;  // 1 when offset is 0 and both gains are 256
};

// The record a missing one stands for: offset 0, both gains 256.
inline constexpr ColorAdjustment kIdentityAdjustment = {
    {0, 0, 0, 0}, {256, 256, 256, 256}, {256, 256, 256, 256}, 0, 256, 256, 1};

// The one initialiser of a ColorAdjustment.
void InitColorAdjustment(ColorAdjustment* adjust, int32_t offset, int32_t lumaGain, int32_t chromaGain);

// Planar 4:2:0 to packed (YUY2, UYVY or BGRA). dstStride counts pixels.
// A negative height reads the source bottom-up where the routine's row of
// the routine table says so.
using Planar420ToPackedRoutine = void (*)(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU,
                                          const uint8_t* srcV, int32_t srcChromaStride, uint8_t* dst, int32_t width,
                                          int32_t height, int32_t dstStride, const ColorAdjustment* adjust,
                                          int32_t interlaced);

// Packed to packed (4:2:2 to BGRA and back, the byte swap). Both strides
// count pixels.
using PackedToPackedRoutine = int32_t (*)(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride,
                                          int32_t height, int32_t width);

// YUY2, UYVY or BGRA to planar 4:2:0. srcPitch and dstYStride count bytes;
// chroma rows are dstYStride / 2 bytes apart. flip and interlaced must be 0:
// no routine reads a flipped or field-wise source.
using ToPlanar420Routine = int32_t (*)(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch,
                                       uint8_t* dstY, uint8_t* dstU, uint8_t* dstV, int32_t dstYStride, int32_t flip,
                                       int32_t interlaced);

// Ten slots in the order of the routine table (dispatch/routine_table.h),
// which names the member each routine fills; converters always call
// through a slot.
struct ConversionRoutines {
  Planar420ToPackedRoutine planar420ToYUY2;
  Planar420ToPackedRoutine planar420ToUYVY;
  Planar420ToPackedRoutine planar420ToBGRA;
  PackedToPackedRoutine yuy2ToBGRA;
  PackedToPackedRoutine uyvyToBGRA;
  ToPlanar420Routine bgraToPlanar420;
  ToPlanar420Routine yuy2ToPlanar420;
  ToPlanar420Routine uyvyToPlanar420;
  PackedToPackedRoutine bgraToYUY2;
  PackedToPackedRoutine bgraToUYVY;
};

// Bits of CPUID leaf 1 EDX that choose the MMX, SSE and SSE2 variants.
namespace CpuFeature {
constexpr uint32_t MMX = 1u << 23;
constexpr uint32_t SSE = 1u << 25;
constexpr uint32_t SSE2 = 1u << 26;
}  // namespace CpuFeature

// Executes CPUID for the leaf; regs receive EAX, EBX, ECX, EDX.
void QueryCpuFeatures(int32_t leaf, uint32_t regs[4]);

// The routines a processor with this feature word (and no wider tier) gets.
// Pure: tests ask what any processor would get without owning one. The
// wider tiers are chosen by ChooseRoutines (dispatch/routine_choice.h).
ConversionRoutines SelectConversionRoutines(uint32_t featureWord);

// Builds the tables and the adjustment block once per process and publishes
// the routine table for this processor, every tier it and its operating
// system run up to the cap in PELLIX_CPU (read here, once). Safe to call
// again at any time, also while other threads convert: later calls change
// nothing. Returns the processor's feature word.
uint32_t InitColorConversion();

// The published table and adjustment block; valid after InitColorConversion.
const ConversionRoutines& ActiveConversionRoutines();
const ColorAdjustment& ProcessColorAdjustment();

// The published byte swap of YUY2 and UYVY (a packed-to-packed routine over the
// whole source pitch); valid after InitColorConversion.
PackedToPackedRoutine ActiveByteSwapRoutine();

}  // namespace pellix
