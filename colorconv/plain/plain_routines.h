// The plain integer routines: the bit-exact reference of every slot.
#pragma once

#include "colorconv/routines.h"

namespace pellix {

// Planar 4:2:0 to packed
void Planar420ToYUY2(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                     int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height, int32_t dstStride,
                     const ColorAdjustment* adjust, int32_t interlaced);
void Planar420ToUYVY(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                     int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height, int32_t dstStride,
                     const ColorAdjustment* adjust, int32_t interlaced);
void Planar420ToBGRA(const uint8_t* srcY, int32_t srcYStride, const uint8_t* srcU, const uint8_t* srcV,
                     int32_t srcChromaStride, uint8_t* dst, int32_t width, int32_t height, int32_t dstStride,
                     const ColorAdjustment* adjust, int32_t interlaced);

// Packed to packed
int32_t YUY2ToBGRA(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t height,
                   int32_t width);
int32_t UYVYToBGRA(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t height,
                   int32_t width);
int32_t BGRAToYUY2(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t height,
                   int32_t width);
int32_t BGRAToUYVY(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t height,
                   int32_t width);
// The byte swap of YUY2 and UYVY, either way, over the whole source pitch.
int32_t YUY2ToUYVY(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t height,
                   int32_t width);

// To planar 4:2:0
int32_t BGRAToPlanar420(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY,
                        uint8_t* dstU, uint8_t* dstV, int32_t dstYStride, int32_t flip, int32_t interlaced);
int32_t YUY2ToPlanar420(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY,
                        uint8_t* dstU, uint8_t* dstV, int32_t dstYStride, int32_t flip, int32_t interlaced);
int32_t UYVYToPlanar420(int32_t width, int32_t height, const uint8_t* src, int32_t srcPitch, uint8_t* dstY,
                        uint8_t* dstU, uint8_t* dstV, int32_t dstYStride, int32_t flip, int32_t interlaced);

}  // namespace pellix
