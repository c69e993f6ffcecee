// Names for the twenty format pairs (kAllPairs) in parameterised tests:
// "I420ToBGRA" as a test name, "I420 -> BGRA" in messages.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "formats/pixel_format.h"

namespace pellix {

inline std::string PairTestName(const FormatPair& pair) {
  return std::string(FormatName(pair.from)) + "To" + FormatName(pair.to);
}

inline std::string PairTestName(const ::testing::TestParamInfo<FormatPair>& info) { return PairTestName(info.param); }

inline std::string PairText(const FormatPair& pair) {
  return std::string(FormatName(pair.from)) + " -> " + FormatName(pair.to);
}

// How GoogleTest prints a pair parameter.
inline void PrintTo(const FormatPair& pair, std::ostream* out) { *out << PairText(pair); }

}  // namespace pellix
