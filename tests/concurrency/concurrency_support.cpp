#include "tests/concurrency/concurrency_support.h"

#include <gtest/gtest.h>

#include <cstring>

#include "host/frame_producers.h"
#include "host/frame_ref.h"
#include "tests/support/expected_conversion.h"
#include "tests/support/format_pairs.h"
#include "tests/support/rig/guarded_memory.h"

namespace pellix::concurrency {

std::shared_ptr<const PluginLibrary> Library() {
  static const std::shared_ptr<const PluginLibrary> library =
      std::make_shared<PluginLibrary>(PluginLibrary::defaultPath());
  return library;
}

void Gate::open() {
  std::lock_guard<std::mutex> lock(mutex_);
  open_ = true;
  opened_.notify_all();
}

void Gate::wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  opened_.wait(lock, [this] { return open_; });
}

SessionOptions SameImageEveryFrame(FormatPair pair, int32_t width, int32_t height, uint64_t seed) {
  SessionOptions options;
  options.inputFormat = FormatName(pair.from);
  options.outputFormat = FormatName(pair.to);
  options.width = width;
  options.height = height;
  options.sourceBuffers = GuardedBuffers();
  options.outputFrames.buffers = GuardedBuffers();
  options.fill = [seed](HostFrame& frame, const FrameLayout& layout, uint64_t) {
    // Video-range values, so every routine sees ordinary samples.
    uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
    for (uint64_t i = 0; i < layout.bytes; ++i) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      frame.data()[i] = static_cast<uint8_t>(16 + (state >> 56) % 220);
    }
  };
  return options;
}

std::vector<uint8_t> ConvertAlone(FormatPair pair, int32_t width, int32_t height, uint64_t seed) {
  const SessionOptions options = SameImageEveryFrame(pair, width, height, seed);
  ConversionSession session(Library(), options);
  FrameRef converted = session.pull();
  // The same image in a frame of the session's source layout, for the oracle.
  auto pool = std::make_shared<FramePool>(session.ledger());
  FrameRef source(MakeFilledFrameProducer(pool, session.sourceLayout(), options.fill)());
  const Tessel::ImageProperties announced = source->imageProperties;
  const std::vector<uint8_t> bytes = FrameBytes(*converted);
  EXPECT_TRUE(bytes == ExpectedConversion(pair.from, pair.to, *source, announced,
                                          converted->imageProperties.stride, converted->capacity))
      << PairText(pair) << " alone differs from its routine called directly";
  return bytes;
}

std::vector<uint8_t> FrameBytes(Tessel::Frame& frame) {
  FrameLock lock(frame);
  std::vector<uint8_t> bytes(frame.capacity);
  if (!bytes.empty()) std::memcpy(bytes.data(), lock.data(), bytes.size());
  return bytes;
}

}  // namespace pellix::concurrency
