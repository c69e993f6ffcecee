// The peers must do the same conversion as ours, or the comparison means
// nothing: same matrix, same range, same plane order.
#include "bench/peers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/agreement.h"
#include "bench/bench_frames.h"
#include "colorconv/routines.h"
#include "tests/support/format_pairs.h"

namespace pellix::bench {
namespace {

// Largest byte difference from ours a peer may show on the smooth frame:
// rounding and chroma-siting differences only. A swapped plane, a wrong
// matrix or a wrong range shows as tens of levels.
constexpr int kTolerance = 6;

class PeerAgreement : public ::testing::TestWithParam<FormatPair> {
 protected:
  static void SetUpTestSuite() { InitColorConversion(); }
};

TEST_P(PeerAgreement, BothPeersConvertLikeUs) {
  const FormatPair c = GetParam();
  const Agreement a = MeasureAgreement(c.from, c.to, {352, 288});
  ASSERT_TRUE(a.oursConverted);
  ASSERT_TRUE(a.libyuv.has_value());
  ASSERT_TRUE(a.libswscale.has_value());
  EXPECT_LE(*a.libyuv, kTolerance);
  EXPECT_LE(*a.libswscale, kTolerance);
}

INSTANTIATE_TEST_SUITE_P(AllPairs, PeerAgreement, ::testing::ValuesIn(kAllPairs),
                         [](const ::testing::TestParamInfo<FormatPair>& info) { return PairTestName(info); });

TEST(LibyuvConversion, NamesTheExchangedPlanesForYv12) {
  EXPECT_EQ(LibyuvConversionFor(PixelFormat::I420, PixelFormat::BGRA).name, "I420ToARGB");
  EXPECT_EQ(LibyuvConversionFor(PixelFormat::YV12, PixelFormat::BGRA).name, "I420ToARGB (U,V planes exchanged)");
  EXPECT_EQ(LibyuvConversionFor(PixelFormat::BGRA, PixelFormat::YV12).name, "ARGBToI420 (U,V planes exchanged)");
}

// Grey I420 at black, mid and white level: both peers must map video range
// to full-range BGRA (16 -> 0, 235 -> 255).
TEST(PeerSetUp, VideoRangeLumaMapsToFullRangeBgra) {
  const struct {
    uint8_t luma;
    int expected;
  } levels[] = {{16, 0}, {126, 128}, {235, 255}};
  for (const auto& level : levels) {
    SCOPED_TRACE(level.luma);
    BenchFrame src(PixelFormat::I420, 32, 2);
    const ImageRef s = ImageRefOf(src);
    std::memset(s.plane[0], level.luma, 64);
    std::memset(s.plane[1], 128, 16);
    std::memset(s.plane[2], 128, 16);
    BenchFrame yuvOut(PixelFormat::BGRA, 32, 2);
    BenchFrame swsOut(PixelFormat::BGRA, 32, 2);
    ASSERT_TRUE(LibyuvConversionFor(PixelFormat::I420, PixelFormat::BGRA).run(s, ImageRefOf(yuvOut)));
    const SwscaleConversion sws(PixelFormat::I420, PixelFormat::BGRA, 32, 2);
    ASSERT_TRUE(sws.valid());
    ASSERT_TRUE(sws.run(s, ImageRefOf(swsOut)));
    for (int channel = 0; channel < 3; ++channel) {
      EXPECT_NEAR(yuvOut.data()[channel], level.expected, 2) << "libyuv channel " << channel;
      EXPECT_NEAR(swsOut.data()[channel], level.expected, 2) << "libswscale channel " << channel;
    }
  }
}

TEST(PeerSetUp, WhiteBgraMapsToVideoRangeLuma) {
  BenchFrame src(PixelFormat::BGRA, 32, 2);
  std::memset(src.data(), 255, src.bytes());
  BenchFrame yuvOut(PixelFormat::I420, 32, 2);
  BenchFrame swsOut(PixelFormat::I420, 32, 2);
  const ImageRef s = ImageRefOf(src);
  ASSERT_TRUE(LibyuvConversionFor(PixelFormat::BGRA, PixelFormat::I420).run(s, ImageRefOf(yuvOut)));
  const SwscaleConversion sws(PixelFormat::BGRA, PixelFormat::I420, 32, 2);
  ASSERT_TRUE(sws.valid());
  ASSERT_TRUE(sws.run(s, ImageRefOf(swsOut)));
  EXPECT_NEAR(yuvOut.data()[0], 235, 1);
  EXPECT_NEAR(swsOut.data()[0], 235, 1);
  EXPECT_NEAR(ImageRefOf(swsOut).plane[1][0], 128, 1);
}

}  // namespace
}  // namespace pellix::bench
