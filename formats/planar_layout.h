// Where the chroma of a planar 4:2:0 frame lies. A w x h planar frame holds
// (w / 2) x (h / 2) chroma samples per plane (the plane offsets leave room
// for no more); the last odd column or row reuses the nearest sample inside
// the plane. Every piece of code that places or reads planar chroma goes
// through these functions, so converters, routines, hosts and tests agree.
#pragma once

#include <cstdint>

#include "formats/pixel_format.h"

namespace pellix {

// Byte offsets of the two chroma planes from the frame's first byte (first:
// U for I420, V for YV12). A source frame places the second plane at
// h*s + h*(s/4), a destination frame at h*s + (h*s)/4; the two agree
// whenever the stride is a multiple of 4.
struct ChromaPlanes {
  int64_t first;
  int64_t second;
};

constexpr ChromaPlanes SourceChromaPlanes(int64_t height, int64_t stride) {
  return {height * stride, height * stride + height * (stride / 4)};
}

constexpr ChromaPlanes DestinationChromaPlanes(int64_t height, int64_t stride) {
  return {height * stride, height * stride + (height * stride) / 4};
}

// Where chroma row m starts inside its plane, from the luma stride.
enum class ChromaRowRule {
  HalvedStride,      // m * (stride / 2): planar sources, the plane copy, 4:2:2 to planar
  HalfOfLumaOffset,  // (m * stride) / 2: BGRA to planar
};

constexpr int64_t ChromaRowOffset(int64_t row, int64_t stride, ChromaRowRule rule) {
  return rule == ChromaRowRule::HalvedStride ? row * (stride / 2) : (row * stride) / 2;
}

// The rule by which a converter places the chroma rows of a planar
// destination made from `source`; planar sources always use HalvedStride.
constexpr ChromaRowRule DestinationChromaRowRule(PixelFormat source) {
  return source == PixelFormat::BGRA ? ChromaRowRule::HalfOfLumaOffset : ChromaRowRule::HalvedStride;
}

// Chroma row for luma row `row` of a frame of `height` rows (height >= 2).
// Field-wise (interlaced == 1): rows 4m and 4m+2 take chroma row 2m, rows
// 4m+1 and 4m+3 take 2m+1, so each field reads the chroma of its own field.
constexpr int32_t ChromaRowForLumaRow(int32_t row, int32_t height, int32_t interlaced) {
  int32_t chromaRow = row >> 1;
  if (interlaced == 1) chromaRow = (row & 1) ? (chromaRow | 1) : (chromaRow & ~1);
  const int32_t last = height / 2 - 1;
  return chromaRow < last ? chromaRow : last;
}

// Chroma column for pixel x of a row of `width` pixels (width >= 2).
constexpr int32_t ChromaColumnForPixel(int32_t x, int32_t width) {
  const int32_t column = x >> 1;
  const int32_t last = width / 2 - 1;
  return column < last ? column : last;
}

}  // namespace pellix
