// Integer forms of the eight 16.16 RGB-to-YUV tables (colorconv/tables.h),
// for kernels that cannot look entries up. Every entry is
//   sign * (whole * i + ((i * fraction) >> 16)),
// a word multiply (the whole part) plus an unsigned multiply-high (the
// fraction). Each fraction is a 16-bit value with which the form gives the
// double-precision table at every index, as the tests prove. A sum of three entries and an offset, shifted
// by 16, is then exactly the plain routines' sample.
//
// Internal linkage: kernel files compiled for different instruction sets
// include this, and must not share an emitted copy of anything.
#pragma once

#include <cstdint>

#include "colorconv/tables.h"

namespace pellix {
namespace {

struct TableForm {
  int32_t whole;
  uint16_t fraction;
  int32_t sign;  // -1 for the negative tables, which truncate toward zero

  constexpr int32_t Entry(int32_t i) const { return sign * (whole * i + ((i * int32_t{fraction}) >> 16)); }
};

constexpr TableForm kRedToYForm{16763, 8914, +1};
constexpr TableForm kGreenToYForm{32909, 37226, +1};
constexpr TableForm kBlueToYForm{6391, 19400, +1};
constexpr TableForm kRedToUForm{9656, 47815, -1};
constexpr TableForm kGreenToUForm{19015, 17721, -1};
constexpr TableForm kChromaHalfForm{28672, 0, +1};
constexpr TableForm kGreenToVForm{24009, 61131, -1};
constexpr TableForm kBlueToVForm{4662, 4404, -1};

// One sample as the sum of the entries for B, G and R of one pixel and an
// offset; the sample is byte 2 of the sum, which stays below 2^24.
struct LaneSum {
  TableForm blue;
  TableForm green;
  TableForm red;
  int32_t offset;
};

constexpr LaneSum kLumaSum{kBlueToYForm, kGreenToYForm, kRedToYForm, kLumaOffset16};
constexpr LaneSum kUSum{kChromaHalfForm, kGreenToUForm, kRedToUForm, kChromaOffset16};
constexpr LaneSum kVSum{kBlueToVForm, kGreenToVForm, kChromaHalfForm, kChromaOffset16};

}  // namespace
}  // namespace pellix
