#include "tests/host/e2e_fixture.h"

#include <mutex>


namespace pellix {
namespace e2e {

std::shared_ptr<const PluginLibrary> Library() {
  static std::once_flag once;
  static std::shared_ptr<const PluginLibrary> library;
  std::call_once(once, [] { library = std::make_shared<PluginLibrary>(PluginLibrary::defaultPath()); });
  return library;
}

void FillPseudoRandom(HostFrame& frame, uint64_t seed, uint64_t index) {
  uint64_t state = seed * 0x9E3779B97F4A7C15ull + index * 0xD1B54A32D192ED03ull + 1;
  uint8_t* data = frame.data();
  for (uint32_t i = 0; i < frame.capacity; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    data[i] = static_cast<uint8_t>(state >> 24);
  }
}

void PluginTest::TearDown() {
  const LedgerReport report = ledger->report();
  EXPECT_TRUE(report.clean()) << report.describe();
}

SessionOptions PluginTest::Options(const char* input, const char* output, int32_t width, int32_t height,
                                   uint64_t seed) {
  SessionOptions options;
  options.inputFormat = input;
  options.outputFormat = output;
  options.width = width;
  options.height = height;
  options.sourceBuffers = GuardedBuffers();
  options.outputFrames.buffers = GuardedBuffers();
  options.fill = [seed](HostFrame& frame, const FrameLayout&, uint64_t index) {
    FillPseudoRandom(frame, seed, index);
    frame.attribute0 = static_cast<uint32_t>(1000 + index);
    frame.attribute1 = static_cast<uint32_t>(2000 + index);
  };
  return options;
}

FrameRef MakeSourceFrame(FramePool& pool, PixelFormat format, int32_t width, int32_t height, uint64_t seed) {
  const FrameLayout layout = LayoutFor(format, width, height, DefaultStride(format, width), PlaneRule::Source);
  Tessel::ImageProperties image;
  image.width = width;
  image.height = height;
  image.stride = layout.stride;
  FrameRef frame(pool.acquire(static_cast<uint32_t>(layout.bytes), image));
  frame->dataSize() = static_cast<uint32_t>(layout.bytes);
  FillPseudoRandom(*static_cast<HostFrame*>(frame.get()), seed, 0);
  return frame;
}

RawGraph::RawGraph(const std::shared_ptr<FrameLedger>& ledger, PixelFormat sourceFormat, int32_t width,
                   int32_t height)
    : sourcePool(std::make_shared<FramePool>(ledger)),
      sourceLayout(LayoutFor(sourceFormat, width, height, DefaultStride(sourceFormat, width), PlaneRule::Source)),
      source(MakeFilledFrameProducer(sourcePool, sourceLayout,
                                     [](HostFrame& frame, const FrameLayout&, uint64_t index) {
                                       FillPseudoRandom(frame, 7, index);
                                     })),
      allocator(ledger, [this] {
        FrameAllocatorOptions options;
        options.buffers.memory = allocatorMemory;
        return options;
      }()),
      component(*Library(), host) {}

FrameRef RawGraph::pull() {
  Tessel::Variant answer;
  if (!component.pull(&answer)) return FrameRef();
  return FrameRef(answer.as<Tessel::Frame>());
}

std::vector<uint8_t> FrameBytes(Tessel::Frame& frame) {
  FrameLock lock(frame);
  return std::vector<uint8_t>(lock.data(), lock.data() + frame.capacity);
}

::testing::AssertionResult SameBytes(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected) {
  if (actual.size() != expected.size()) {
    return ::testing::AssertionFailure() << actual.size() << " bytes, expected " << expected.size();
  }
  size_t first = actual.size();
  size_t differing = 0;
  for (size_t i = 0; i < actual.size(); ++i) {
    if (actual[i] != expected[i]) {
      if (differing++ == 0) first = i;
    }
  }
  if (differing == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differing << " of " << actual.size() << " bytes differ; first at offset "
                                       << first << ": " << int{actual[first]} << ", expected "
                                       << int{expected[first]};
}

}  // namespace e2e
}  // namespace pellix
