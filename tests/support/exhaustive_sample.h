// The share of an exhaustive sweep a test run takes: PELLIX_EXHAUSTIVE_SAMPLE
// unset, empty, not a number or below 2 means every input; N means every
// Nth frame of inputs. Sweeps step over whole frames (each still holding
// inputs at every position of a vector and in the last, partial group of a
// row) and start at a different frame for each N, so reduced runs do not
// all see the same.
#pragma once

#include <cstdlib>

namespace pellix::test {

inline int ExhaustiveSampleStep() {
  const char* value = std::getenv("PELLIX_EXHAUSTIVE_SAMPLE");
  const long step = value != nullptr ? std::strtol(value, nullptr, 10) : 1;
  return step > 1 && step < (1 << 20) ? static_cast<int>(step) : 1;
}

// The first frame of a sweep of `frames` frames taken every `step`th.
inline int ExhaustiveSampleStart(int step, int frames) { return frames > 0 ? (step / 2) % step % frames : 0; }

}  // namespace pellix::test
