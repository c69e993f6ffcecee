// Every ordered pair of formats converts a real frame exactly as the routine
// an SSE2 processor runs (or the plane copy / byte swap) does when called
// directly, whatever tier the plug-in chose, and also with the tier capped.
#include "colorconv/plain/plain_routines.h"
#include "colorconv/routines.h"
#include "colorconv/simd/simd_routines.h"
#include "tests/host/e2e_capped_library.h"
#include "tests/host/e2e_fixture.h"
#include "tests/support/format_pairs.h"

namespace pellix {
namespace e2e {
namespace {

using Pair = FormatPair;

class PairConversion : public PluginTest, public ::testing::WithParamInterface<Pair> {};

// Converts one frame of the pair at w x h through a session (guard pages on
// every buffer) and compares it with the routine called directly. Returns
// false when the plug-in refused the frame.
bool ConvertAndCompare(const std::shared_ptr<FrameLedger>& ledger, const Pair& pair, int32_t width, int32_t height,
                       const std::shared_ptr<const PluginLibrary>& library = Library()) {
  const FrameBufferOptions guarded = GuardedBuffers();
  auto pool = std::make_shared<FramePool>(ledger, guarded);
  FrameRef source = MakeSourceFrame(*pool, pair.from, width, height, 11);
  source->attribute0 = 0xA0;
  source->attribute1 = 0xB1;

  SessionOptions options;
  options.inputFormat = FormatName(pair.from);
  options.outputFormat = FormatName(pair.to);
  options.width = width;
  options.height = height;
  options.outputFrames.buffers = guarded;
  options.producer = MakeRepeatingProducer(source.share());
  ConversionSession session(library, options, ledger);
  FrameRef converted = session.tryPull();
  if (!converted) return false;

  EXPECT_EQ(converted->imageProperties.width, width);
  EXPECT_EQ(converted->imageProperties.height, height);
  EXPECT_EQ(converted->dataSize(), static_cast<uint32_t>(int64_t{BitsPerPixel(pair.to)} * width * height / 8));
  EXPECT_EQ(converted->attribute0, 0xA0u);
  EXPECT_EQ(converted->attribute1, 0xB1u);
  Tessel::ImageProperties announced;
  announced.width = width;
  announced.height = height;
  announced.stride = source->imageProperties.stride;
  EXPECT_TRUE(
      SameBytes(FrameBytes(*converted), ExpectedConversion(pair.from, pair.to, *source, announced,
                                                           converted->imageProperties.stride, converted->capacity)));
  return true;
}

TEST_P(PairConversion, MatchesTheRoutineCalledDirectly) {
  // 132 is a multiple of 4 (both chroma-plane rules agree) and leaves a
  // partial SIMD group at the end of each row.
  EXPECT_TRUE(ConvertAndCompare(ledger, GetParam(), 132, 22));
}

TEST_P(PairConversion, OddSizeMatchesOrIsRefused) {
  const Pair pair = GetParam();
  // BGRA of odd width has no 4:2:2 layout; every other pair converts.
  const bool refused = pair.from == PixelFormat::BGRA && (pair.to == PixelFormat::YUY2 || pair.to == PixelFormat::UYVY);
  EXPECT_EQ(ConvertAndCompare(ledger, pair, 37, 21), !refused);
}

// The same frames through a copy of the plug-in whose tiers stop at SSE2:
// the bytes do not depend on the tier.
TEST_P(PairConversion, CappedAtSse2GivesTheSameBytes) {
  const Pair pair = GetParam();
  const std::shared_ptr<const PluginLibrary> capped = LibraryCappedAt("sse2");
  EXPECT_TRUE(ConvertAndCompare(ledger, pair, 132, 22, capped));
  const bool refused = pair.from == PixelFormat::BGRA && (pair.to == PixelFormat::YUY2 || pair.to == PixelFormat::UYVY);
  EXPECT_EQ(ConvertAndCompare(ledger, pair, 37, 21, capped), !refused);
}

INSTANTIATE_TEST_SUITE_P(AllTwenty, PairConversion, ::testing::ValuesIn(kAllPairs),
                         [](const ::testing::TestParamInfo<Pair>& info) { return PairTestName(info); });

using ConversionTest = PluginTest;

TEST_F(ConversionTest, ProgressiveChromaForPlanarSources) {
  const int32_t width = 16, height = 8;
  auto pool = std::make_shared<FramePool>(ledger);
  FrameRef source = MakeSourceFrame(*pool, PixelFormat::I420, width, height, 5);
  SessionOptions options = Options("I420", "BGRA", width, height);
  options.producer = MakeRepeatingProducer(source.share());
  ConversionSession session(Library(), options, ledger);
  FrameRef converted = session.pull();
  Tessel::ImageProperties announced;
  announced.width = width;
  announced.height = height;
  announced.stride = width;
  const std::vector<uint8_t> bytes = FrameBytes(*converted);
  EXPECT_TRUE(SameBytes(bytes, ExpectedConversion(PixelFormat::I420, PixelFormat::BGRA, *source, announced, width,
                                                  converted->capacity, 0)));
  EXPECT_NE(bytes,
            ExpectedConversion(PixelFormat::I420, PixelFormat::BGRA, *source, announced, width, converted->capacity, 1))
      << "field-wise chroma must differ on this frame, or the check above proves nothing";
}

TEST_F(ConversionTest, LongRunWithRecycledFramesStaysExact) {
  SessionOptions options = Options("YUY2", "YV12", 64, 16);
  options.sourceBuffers.recycle = true;
  options.outputFrames.buffers.recycle = true;
  ConversionSession session(Library(), options, ledger);
  for (int i = 0; i < 50; ++i) EXPECT_TRUE(session.pull());
  EXPECT_EQ(session.allocator().pool().framesOwned(), 1u);
}

// The variants an SSE2 processor runs, whose bytes every wider tier gives.
TEST(RoutineSlots, AnSse2ProcessorGetsTheListedVariants) {
  const uint32_t features = InitColorConversion();
  const uint32_t wanted = CpuFeature::MMX | CpuFeature::SSE | CpuFeature::SSE2;
  if ((features & wanted) != wanted) GTEST_SKIP() << "processor lacks MMX, SSE or SSE2";
  const ConversionRoutines slots = SelectConversionRoutines(features);
  EXPECT_EQ(slots.planar420ToYUY2, Planar420ToYUY2_SSE2);
  EXPECT_EQ(slots.planar420ToUYVY, &Planar420ToUYVY);
  EXPECT_EQ(slots.planar420ToBGRA, Planar420ToBGRA_MMX);
  EXPECT_EQ(slots.yuy2ToBGRA, &YUY2ToBGRA);
  EXPECT_EQ(slots.uyvyToBGRA, &UYVYToBGRA);
  EXPECT_EQ(slots.bgraToPlanar420, BGRAToPlanar420_SSE);
  EXPECT_EQ(slots.yuy2ToPlanar420, YUY2ToPlanar420_SSE);
  EXPECT_EQ(slots.uyvyToPlanar420, &UYVYToPlanar420);
  EXPECT_EQ(slots.bgraToYUY2, &BGRAToYUY2);
  EXPECT_EQ(slots.bgraToUYVY, &BGRAToUYVY);
}

}  // namespace
}  // namespace e2e
}  // namespace pellix
