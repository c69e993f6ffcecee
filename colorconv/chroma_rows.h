// Which chroma sample a pixel of a planar 4:2:0 frame uses. A w x h planar
// frame holds (w / 2) x (h / 2) chroma samples per plane (the plane offsets
// of the layout leave room for no more); the last odd column or row reuses
// the nearest sample inside the plane. Every routine that reads planar chroma
// goes through these two functions so plain code, SIMD tails and tests agree.
#pragma once

#include <cstdint>

namespace pellix {

// Chroma row for luma row `row` of a frame of `height` rows (height >= 2).
// Field-wise (interlaced == 1): rows 4m and 4m+2 take chroma row 2m, rows
// 4m+1 and 4m+3 take 2m+1, so each field reads the chroma of its own field.
inline int32_t ChromaRowForLumaRow(int32_t row, int32_t height, int32_t interlaced) {
  int32_t chromaRow = row >> 1;
  if (interlaced == 1) chromaRow = (row & 1) ? (chromaRow | 1) : (chromaRow & ~1);
  const int32_t last = height / 2 - 1;
  return chromaRow < last ? chromaRow : last;
}

// Chroma column for pixel x of a row of `width` pixels (width >= 2).
inline int32_t ChromaColumnForPixel(int32_t x, int32_t width) {
  const int32_t column = x >> 1;
  const int32_t last = width / 2 - 1;
  return column < last ? column : last;
}

}  // namespace pellix
