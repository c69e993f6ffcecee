// One source row of a conversion to planar 4:2:0 and what it writes: its luma
// row and, for the rows 2m and 2m + 1 of a chroma row m, that chroma row.
#pragma once

#include <cstdint>

namespace pellix {

enum class ChromaPass { None, First, Second };

struct PlanarDestinationRow {
  const uint8_t* src;
  uint8_t* y;
  uint8_t* u;  // null for ChromaPass::None
  uint8_t* v;
  ChromaPass pass;
};

}  // namespace pellix
