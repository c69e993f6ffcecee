#include "tests/host/e2e_fixture.h"

#include <cstring>
#include <mutex>

#include "colorconv/routines.h"
#include "formats/planar_layout.h"

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
  options.sourceBuffers.guardPages = true;
  options.outputFrames.buffers.guardPages = true;
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
      allocator(ledger),
      component(*Library(), host) {}

FrameRef RawGraph::pull() {
  Tessel::Variant answer;
  if (!component.pull(&answer)) return FrameRef();
  return FrameRef(answer.as<Tessel::Frame>());
}

namespace {

template <class Byte>
struct Planes {
  Byte* y;
  Byte* u;
  Byte* v;
};

// The planes of a planar frame at `base` whose chroma planes lie at `chroma`.
template <class Byte>
Planes<Byte> PlanesOf(PixelFormat format, Byte* base, const ChromaPlanes& chroma) {
  Byte* first = base + chroma.first;
  Byte* second = base + chroma.second;
  return format == PixelFormat::I420 ? Planes<Byte>{base, first, second} : Planes<Byte>{base, second, first};
}

}  // namespace

std::vector<uint8_t> ExpectedConversion(PixelFormat input, PixelFormat output, const Tessel::Frame& source,
                                        const Tessel::ImageProperties& image, int32_t ds,
                                        uint32_t destinationCapacity, int32_t interlaced) {
  InitColorConversion();
  const ConversionRoutines& slots = ActiveConversionRoutines();
  const ColorAdjustment* adjust = &ProcessColorAdjustment();
  std::vector<uint8_t> out(destinationCapacity, 0);
  // The routines take a non-const source pointer in none of their shapes, but
  // the frame's buffer is reached through a const Frame here.
  auto& frame = const_cast<Tessel::Frame&>(source);
  const uint8_t* src = frame.lock();
  uint8_t* dst = out.data();
  const int32_t w = source.imageProperties.width;
  const int32_t h = source.imageProperties.height;
  const int32_t s = source.imageProperties.stride;

  if (IsPlanar(input) && IsPlanar(output)) {
    const auto from = PlanesOf(input, src, SourceChromaPlanes(h, s));
    // The plane copy places destination planes like every planar destination.
    const auto to = PlanesOf(output, dst, DestinationChromaPlanes(h, ds));
    for (int32_t row = 0; row < h; ++row) {
      std::memcpy(to.y + int64_t{row} * ds, from.y + int64_t{row} * s, w);
    }
    for (int32_t row = 0; row < image.height / 2; ++row) {
      const int64_t inRow = ChromaRowOffset(row, s, ChromaRowRule::HalvedStride);
      const int64_t outRow = ChromaRowOffset(row, ds, ChromaRowRule::HalvedStride);
      std::memcpy(to.u + outRow, from.u + inRow, w / 2);
      std::memcpy(to.v + outRow, from.v + inRow, w / 2);
    }
  } else if (IsPlanar(input)) {
    const auto from = PlanesOf(input, src, SourceChromaPlanes(h, s));
    const Planar420ToPackedRoutine routine = output == PixelFormat::YUY2   ? slots.planar420ToYUY2
                                             : output == PixelFormat::UYVY ? slots.planar420ToUYVY
                                                                           : slots.planar420ToBGRA;
    routine(from.y, s, from.u, from.v, static_cast<int32_t>(static_cast<uint32_t>(s) >> 1), dst, w, h, ds,
            adjust, interlaced);
  } else if (IsPlanar(output)) {
    const auto to = PlanesOf(output, dst, DestinationChromaPlanes(h, ds));
    const ToPlanar420Routine routine = input == PixelFormat::BGRA   ? slots.bgraToPlanar420
                                       : input == PixelFormat::YUY2 ? slots.yuy2ToPlanar420
                                                                    : slots.uyvyToPlanar420;
    const int32_t pitch = input == PixelFormat::BGRA ? 4 * s : 2 * s;
    routine(w, h, src, pitch, to.y, to.u, to.v, ds, 0, 0);
  } else if (input == PixelFormat::BGRA) {
    const PackedToPackedRoutine routine = output == PixelFormat::YUY2 ? slots.bgraToYUY2 : slots.bgraToUYVY;
    routine(src, s, dst, ds, h, w);
  } else if (output == PixelFormat::BGRA) {
    const PackedToPackedRoutine routine = input == PixelFormat::YUY2 ? slots.yuy2ToBGRA : slots.uyvyToBGRA;
    routine(src, s, dst, ds, image.height, image.width);
  } else {
    // YUY2 <-> UYVY: swap the bytes of every 4-byte group over the whole pitch.
    const int64_t pitch = 2 * int64_t{s};
    for (int64_t row = 0; row < h; ++row) {
      for (int64_t group = 0; group < pitch / 4; ++group) {
        const uint8_t* in = src + row * pitch + group * 4;
        uint8_t* o = dst + row * pitch + group * 4;
        o[0] = in[1];
        o[1] = in[0];
        o[2] = in[3];
        o[3] = in[2];
      }
    }
  }
  frame.unlock();
  return out;
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
