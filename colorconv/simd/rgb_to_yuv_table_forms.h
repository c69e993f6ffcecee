// Integer forms of the eight 16.16 RGB-to-YUV tables (colorconv/tables.h),
// for kernels that cannot look entries up. Every entry is
//   sign * (whole * i + ((i * fraction) >> 16)),
// a word multiply (the whole part) plus an unsigned multiply-high (the
// fraction); the fractions were found by trying every 16-bit value against
// the tables built in double precision, and the tests prove each form equal
// to its table at every index. A sum of three entries and an offset, shifted
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

// One sample as a 32-bit lane computes it: the entries for B, G and R of one
// pixel and an offset; the sample is byte 2 of the sum.
struct LaneSum {
  TableForm blue;
  TableForm green;
  TableForm red;
  int32_t offset;
};

constexpr LaneSum kLumaSum{kBlueToYForm, kGreenToYForm, kRedToYForm, kLumaOffset16};
constexpr LaneSum kUSum{kChromaHalfForm, kGreenToUForm, kRedToUForm, kChromaOffset16};
constexpr LaneSum kVSum{kBlueToVForm, kGreenToVForm, kChromaHalfForm, kChromaOffset16};

// A lane sum as word constants for a lane holding the words (B, R) and a
// lane holding (G, G), low word first:
//   madd((B, R), blueRedWhole) + madd((G, G), greenWhole)
//   + madd(mulhu((B, R), blueRedFraction) + mulhu((G, G), greenFraction), correctionSign)
//   + offset.
// G's whole part is split over its two words because it may not fit one;
// G's fraction shares the low word with B's, so their signs must agree.
struct LaneWords {
  int16_t blueRedWhole[2];
  int16_t greenWhole[2];
  uint16_t blueRedFraction[2];
  uint16_t greenFraction[2];
  int16_t correctionSign[2];
  int32_t offset;
};

constexpr int32_t kWordMax = 32767;

constexpr bool FitsWord(int32_t x) { return x >= -kWordMax && x <= kWordMax; }

constexpr int32_t LowWordSign(const LaneSum& s) { return s.green.fraction != 0 ? s.green.sign : s.blue.sign; }

constexpr bool HasLaneWords(const LaneSum& s) {
  const int32_t green = s.green.sign * s.green.whole;
  const int32_t greenLow = green > kWordMax ? kWordMax : (green < -kWordMax ? -kWordMax : green);
  const bool signsAgree = s.blue.fraction == 0 || s.green.fraction == 0 || s.blue.sign == s.green.sign;
  return FitsWord(s.blue.sign * s.blue.whole) && FitsWord(s.red.sign * s.red.whole) && FitsWord(green - greenLow) &&
         signsAgree;
}

constexpr LaneWords WordsOf(const LaneSum& s) {
  const int32_t green = s.green.sign * s.green.whole;
  const int32_t greenLow = green > kWordMax ? kWordMax : (green < -kWordMax ? -kWordMax : green);
  return {{static_cast<int16_t>(s.blue.sign * s.blue.whole), static_cast<int16_t>(s.red.sign * s.red.whole)},
          {static_cast<int16_t>(greenLow), static_cast<int16_t>(green - greenLow)},
          {s.blue.fraction, s.red.fraction},
          {s.green.fraction, 0},
          {static_cast<int16_t>(LowWordSign(s)), static_cast<int16_t>(s.red.sign)},
          s.offset};
}

static_assert(HasLaneWords(kLumaSum) && HasLaneWords(kUSum) && HasLaneWords(kVSum),
              "a lane sum does not fit the word constants of the wide kernels");

constexpr LaneWords kLumaWords = WordsOf(kLumaSum);
constexpr LaneWords kUWords = WordsOf(kUSum);
constexpr LaneWords kVWords = WordsOf(kVSum);

}  // namespace
}  // namespace pellix
