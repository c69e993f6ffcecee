#pragma once

#include <cstdlib>

namespace pellix::test {

// How sparsely the exhaustive sweeps run: every Nth input when
// PELLIX_EXHAUSTIVE_SAMPLE=N (a whole number of at least 1), every input
// when it is unset. The sanitizer and 32-bit stages set it: they look for
// memory faults, which the guard-paged frame tests find, while the arithmetic
// is checked in full by the optimised build. A value that is not such a
// number runs every input rather than silently testing less.
inline unsigned ExhaustiveSampleStep() {
  const char* text = std::getenv("PELLIX_EXHAUSTIVE_SAMPLE");
  if (text == nullptr || *text == '\0') return 1;
  char* end = nullptr;
  const unsigned long step = std::strtoul(text, &end, 10);
  if (*end != '\0' || step < 1 || step > (1ul << 24)) return 1;
  return static_cast<unsigned>(step);
}

}  // namespace pellix::test
