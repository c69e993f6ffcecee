// Shared pieces of the frame converter tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "colorconv/converters.h"
#include "colorconv/routines.h"
#include "tests/support/format_pairs.h"

namespace pellix {
namespace testing_support {

// A byte pattern that differs from its neighbours, for canaries and prefills.
inline std::vector<uint8_t> Pattern(size_t size, uint32_t seed) {
  std::vector<uint8_t> bytes(size);
  uint32_t state = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    state = state * 1664525u + 1013904223u;
    b = static_cast<uint8_t>(state >> 24);
  }
  return bytes;
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
