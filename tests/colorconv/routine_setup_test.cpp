// The routine table: which routine each processor gets, the published table
// and adjustment block, and set-up repeated while another thread converts.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "colorconv/dispatch/routine_choice.h"
#include "colorconv/plain/plain_routines.h"
#include "colorconv/simd/simd_routines.h"
#include "conversion_model.h"
#include "converter_test_support.h"
#include "test_frame.h"

namespace pellix {
namespace {

using namespace testing_support;

bool SameRoutines(const ConversionRoutines& a, const ConversionRoutines& b) {
  return a.planar420ToYUY2 == b.planar420ToYUY2 && a.planar420ToUYVY == b.planar420ToUYVY &&
         a.planar420ToBGRA == b.planar420ToBGRA && a.yuy2ToBGRA == b.yuy2ToBGRA && a.uyvyToBGRA == b.uyvyToBGRA &&
         a.bgraToPlanar420 == b.bgraToPlanar420 && a.yuy2ToPlanar420 == b.yuy2ToPlanar420 &&
         a.uyvyToPlanar420 == b.uyvyToPlanar420 && a.bgraToYUY2 == b.bgraToYUY2 && a.bgraToUYVY == b.bgraToUYVY;
}

TEST(RoutineChoiceTest, SlotsPerFeatureWord) {
  using namespace CpuFeature;
  const ConversionRoutines plain = {Planar420ToYUY2, Planar420ToUYVY, Planar420ToBGRA, YUY2ToBGRA,
                                    UYVYToBGRA,      BGRAToPlanar420, YUY2ToPlanar420, UYVYToPlanar420,
                                    BGRAToYUY2,      BGRAToUYVY};
  auto with = [&](auto change) {
    ConversionRoutines r = plain;
    change(r);
    return r;
  };
  const struct {
    const char* name;
    uint32_t word;
    ConversionRoutines expected;
  } cases[] = {
      {"none", 0, plain},
      {"unrelated bits", ~(MMX | SSE | SSE2), plain},
      {"MMX", MMX, with([](ConversionRoutines& r) {
         r.planar420ToYUY2 = Planar420ToYUY2_MMX;
         r.planar420ToBGRA = Planar420ToBGRA_MMX;
         r.bgraToPlanar420 = BGRAToPlanar420_MMX;
         r.yuy2ToPlanar420 = YUY2ToPlanar420_MMX;
       })},
      {"MMX+SSE", MMX | SSE, with([](ConversionRoutines& r) {
         r.planar420ToYUY2 = Planar420ToYUY2_SSE;
         r.planar420ToBGRA = Planar420ToBGRA_MMX;
         r.bgraToPlanar420 = BGRAToPlanar420_SSE;
         r.yuy2ToPlanar420 = YUY2ToPlanar420_SSE;
       })},
      {"MMX+SSE+SSE2", MMX | SSE | SSE2, with([](ConversionRoutines& r) {
         r.planar420ToYUY2 = Planar420ToYUY2_SSE2;
         r.planar420ToBGRA = Planar420ToBGRA_MMX;
         r.bgraToPlanar420 = BGRAToPlanar420_SSE;
         r.yuy2ToPlanar420 = YUY2ToPlanar420_SSE;
       })},
      {"SSE2 alone", SSE2, with([](ConversionRoutines& r) { r.planar420ToYUY2 = Planar420ToYUY2_SSE2; })},
      {"SSE alone", SSE, with([](ConversionRoutines& r) {
         r.planar420ToYUY2 = Planar420ToYUY2_SSE;
         r.bgraToPlanar420 = BGRAToPlanar420_SSE;
         r.yuy2ToPlanar420 = YUY2ToPlanar420_SSE;
       })},
  };
  for (const auto& c : cases) EXPECT_TRUE(SameRoutines(SelectConversionRoutines(c.word), c.expected)) << c.name;
}

TEST(RoutineSetUpTest, PublishesTheChoiceForThisProcessorAndTheIdentityAdjustment) {
  uint32_t regs[4];
  QueryCpuFeatures(1, regs);
  // With the extended features and the user's cap, as set-up reads them: the
  // wide tiers may replace what the feature word alone selects.
  const ConversionRoutines expected =
      ChooseRoutines(ReadCpuFeatures(), ParseTierCap(std::getenv(kTierCapVariable))).routines;
  EXPECT_EQ(InitColorConversion(), regs[3]);
  EXPECT_TRUE(SameRoutines(ActiveConversionRoutines(), expected));
  EXPECT_EQ(InitColorConversion(), regs[3]);
  EXPECT_TRUE(SameRoutines(ActiveConversionRoutines(), expected));
  const ColorAdjustment& adjust = ProcessColorAdjustment();
  for (int lane = 0; lane < 4; ++lane) {
    EXPECT_EQ(adjust.lumaOffsetPacked[lane], 0);
    EXPECT_EQ(adjust.lumaGainPacked[lane], 256);
    EXPECT_EQ(adjust.chromaGainPacked[lane], 256);
  }
  EXPECT_EQ(adjust.lumaOffset, 0);
  EXPECT_EQ(adjust.lumaGain, 256);
  EXPECT_EQ(adjust.chromaGain, 256);
  EXPECT_EQ(adjust.isIdentity, 1);
}

// One thread converts frames through every slot while another repeats the
// set-up; every conversion must give the same bytes as the first one.
TEST(RoutineSetUpTest, RepeatedSetUpWhileConverting) {
  InitColorConversion();
  const FormatPair pairs[] = {{PixelFormat::I420, PixelFormat::YUY2}, {PixelFormat::I420, PixelFormat::UYVY},
                              {PixelFormat::I420, PixelFormat::BGRA}, {PixelFormat::YUY2, PixelFormat::BGRA},
                              {PixelFormat::UYVY, PixelFormat::BGRA}, {PixelFormat::BGRA, PixelFormat::I420},
                              {PixelFormat::YUY2, PixelFormat::I420}, {PixelFormat::UYVY, PixelFormat::I420},
                              {PixelFormat::BGRA, PixelFormat::YUY2}, {PixelFormat::BGRA, PixelFormat::UYVY}};
  std::atomic<bool> converting{true};
  std::thread setUp([&] {
    while (converting.load()) InitColorConversion();
  });
  for (int round = 0; round < 20; ++round) {
    for (const FormatPair& pair : pairs) {
      const Scenario s = MakeScenario(pair.first, pair.second, 32, 8, 0, 0, 0);
      TestFrame src(s.width, s.height, s.sourceStride, SourceSize(s));
      src.assign(SourceContent(s, 21));
      TestFrame dst(s.width, s.height, s.destinationStride, DestinationSize(s));
      const std::vector<uint8_t> prefill = Pattern(dst.size(), 22);
      dst.assign(prefill);
      const Tessel::ImageProperties described = src.imageProperties;
      ASSERT_TRUE(FrameConverterFor(pair.first, pair.second)(&src, &described, 0, &dst)) << PairName(pair);
      const Expectation e = Expect(s, src.contents(), prefill);
      ASSERT_EQ(FirstDifference(dst.contents(), e.destination), -1) << PairName(pair);
    }
  }
  converting = false;
  setUp.join();
}

}  // namespace
}  // namespace pellix
