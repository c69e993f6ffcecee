// The MMX, SSE and SSE2 variants. Each takes the argument list of its slot
// and converts a whole frame per call; the pixels after the last whole group
// of a row are converted by scalar code with the variant's own arithmetic.
#pragma once

#include "colorconv/routines.h"

namespace pellix {

void Planar420ToYUY2_MMX(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                         int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height, int32_t dstStride,
                         const ColorAdjustment* adjust, int32_t interlaced);
void Planar420ToYUY2_SSE(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                         int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height, int32_t dstStride,
                         const ColorAdjustment* adjust, int32_t interlaced);
void Planar420ToYUY2_SSE2(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                          int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height, int32_t dstStride,
                          const ColorAdjustment* adjust, int32_t interlaced);
void Planar420ToBGRA_MMX(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                         int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height, int32_t dstStride,
                         const ColorAdjustment* adjust, int32_t interlaced);

int32_t BGRAToPlanar420_MMX(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY,
                            uint8_t* dstU, uint8_t* dstV, int32_t dstYStride, int32_t flip, int32_t interlaced);
int32_t BGRAToPlanar420_SSE(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY,
                            uint8_t* dstU, uint8_t* dstV, int32_t dstYStride, int32_t flip, int32_t interlaced);
int32_t YUY2ToPlanar420_MMX(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY,
                            uint8_t* dstU, uint8_t* dstV, int32_t dstYStride, int32_t flip, int32_t interlaced);
int32_t YUY2ToPlanar420_SSE(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY,
                            uint8_t* dstU, uint8_t* dstV, int32_t dstYStride, int32_t flip, int32_t interlaced);

}  // namespace pellix
