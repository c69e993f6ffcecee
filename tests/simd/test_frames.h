// Planes for the SIMD tests: each lives in its own guarded mapping, either
// ending exactly at a guard page (after `lead` canary bytes before row 0) or
// starting right after one, and is filled with random bytes so that any
// byte a routine should not touch acts as a canary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "tests/support/rig/guarded_buffer.h"

namespace pellix::test {

enum class Samples { Uniform, Extremes };

class GuardedPlane {
 public:
  // lastRowOffset: byte offset of the last row from row 0; rowBytes: bytes a
  // row holds. rows <= 0 or rowBytes <= 0 gives an empty plane whose pointer
  // lies on a guard page.
  GuardedPlane(int64_t rows, int64_t lastRowOffset, int64_t rowBytes, GuardedBuffer::Edge edge, size_t lead,
               std::mt19937_64& rng, Samples samples = Samples::Uniform);

  uint8_t* first() const { return buffer_->data() + lead_; }
  // A copy of every byte of the plane's mapping; row 0 is at lead().
  std::vector<uint8_t> Bytes() const;
  size_t lead() const { return lead_; }

 private:
  std::unique_ptr<GuardedBuffer> buffer_;
  size_t lead_;
};

// A byte from a set that stresses clamps and saturation half of the time.
uint8_t RandomSample(std::mt19937_64& rng, Samples samples);

int32_t Uniform(std::mt19937_64& rng, int32_t low, int32_t high);

// Index of the first byte where the two differ, or -1.
int64_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

}  // namespace pellix::test
