// Horizontal bands of a frame that convert independently, each through its
// own component, with the bytes of one whole-frame conversion. Every band but
// the last starts and ends on a multiple of four rows: a planar 4:2:0 band
// then holds whole chroma rows of the frame (two luma rows each) and keeps
// each field's chroma to itself when chroma is taken field-wise. The last
// band takes the rest, including an odd last row, so its nearest-chroma rule
// agrees with the whole frame's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pellix {

constexpr int32_t kRowBandAlignment = 4;

struct RowBand {
  int32_t firstRow;
  int32_t rows;
};

// Up to `count` bands covering rows [0, height) in order, as even as the
// alignment allows; one band when height or count is too small to split.
// A height below 1 or a count below 1 gives one band of the whole height.
inline std::vector<RowBand> SplitIntoRowBands(int32_t height, int32_t count) {
  const int32_t units = height / kRowBandAlignment;
  if (count < 2 || units < 2) return {RowBand{0, height}};
  const int32_t bands = count < units ? count : units;
  std::vector<RowBand> out;
  out.reserve(static_cast<size_t>(bands));
  int32_t row = 0;
  for (int32_t i = 0; i < bands; ++i) {
    // Spread the units evenly; the last band also takes the leftover rows.
    const int32_t endUnit = static_cast<int32_t>((static_cast<int64_t>(units) * (i + 1)) / bands);
    const int32_t end = i + 1 == bands ? height : endUnit * kRowBandAlignment;
    out.push_back(RowBand{row, end - row});
    row = end;
  }
  return out;
}

}  // namespace pellix
