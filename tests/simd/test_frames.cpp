#include "tests/simd/test_frames.h"

namespace pellix::test {

uint8_t RandomSample(std::mt19937_64& rng, Samples samples) {
  static constexpr uint8_t kExtremes[] = {0, 1, 15, 16, 17, 127, 128, 129, 234, 235, 236, 239, 240, 241, 254, 255};
  if (samples == Samples::Extremes && (rng() & 1)) return kExtremes[rng() % sizeof(kExtremes)];
  return static_cast<uint8_t>(rng());
}

int32_t Uniform(std::mt19937_64& rng, int32_t low, int32_t high) {
  return std::uniform_int_distribution<int32_t>(low, high)(rng);
}

GuardedPlane::GuardedPlane(int64_t rows, int64_t lastRowOffset, int64_t rowBytes, GuardedBuffer::Edge edge, size_t lead,
                           std::mt19937_64& rng, Samples samples)
    : lead_(edge == GuardedBuffer::Edge::Start ? 0 : lead) {
  const int64_t frameBytes = rows > 0 && rowBytes > 0 ? lastRowOffset + rowBytes : 0;
  buffer_ = std::make_unique<GuardedBuffer>(static_cast<size_t>(frameBytes) + lead_, edge);
  for (size_t i = 0; i < buffer_->size(); ++i) buffer_->data()[i] = RandomSample(rng, samples);
}

std::vector<uint8_t> GuardedPlane::Bytes() const {
  return std::vector<uint8_t>(buffer_->data(), buffer_->data() + buffer_->size());
}

int64_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size()) return 0;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return static_cast<int64_t>(i);
  return -1;
}

}  // namespace pellix::test
