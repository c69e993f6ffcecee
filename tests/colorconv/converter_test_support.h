// Shared pieces of the frame converter tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "colorconv/converters.h"
#include "colorconv/routines.h"

namespace pellix {
namespace testing_support {

using FormatPair = std::pair<PixelFormat, PixelFormat>;

// The twenty ordered pairs of distinct formats.
inline std::vector<FormatPair> AllPairs() {
  std::vector<FormatPair> pairs;
  for (PixelFormat in : kAllFormats)
    for (PixelFormat out : kAllFormats)
      if (in != out) pairs.emplace_back(in, out);
  return pairs;
}

inline std::string PairName(const FormatPair& pair) {
  return std::string(FormatName(pair.first)) + "To" + FormatName(pair.second);
}

// Index of the first byte where the two differ, or -1.
inline int64_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return static_cast<int64_t>(i);
  return a.size() == b.size() ? -1 : static_cast<int64_t>(n);
}

inline std::vector<uint8_t> Prefix(const std::vector<uint8_t>& bytes, size_t size) {
  return {bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(size < bytes.size() ? size : bytes.size())};
}

// Routine tables are published once per process; every converter test
// starts from the published table.
class ConversionEnvironment {
 public:
  ConversionEnvironment() { InitColorConversion(); }
};

}  // namespace testing_support
}  // namespace pellix
