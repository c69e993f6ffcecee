// Converter behaviour beyond the per-pixel model: the pair table, lossless
// round trips, the refusals, rows taken from the image description, and the
// plane offsets of the layouts.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "colorconv/converters/conversion_paths.h"
#include "colorconv/plain/plain_routines.h"
#include "conversion_model.h"
#include "converter_test_support.h"
#include "guarded_frame.h"

namespace pellix {
namespace {

using namespace testing_support;

class ConverterBehaviourTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { static ConversionEnvironment environment; }
};

// A frame of the scenario's source or destination shape, sized by the model.
GuardedFrame SourceFrame(const Scenario& s, uint32_t seed) {
  GuardedFrame frame(s.width, s.height, s.sourceStride, SourceSize(s));
  frame.assign(SourceContent(s, seed));
  return frame;
}
GuardedFrame DestinationFrame(const Scenario& s, uint32_t seed) {
  GuardedFrame frame(s.width, s.height, s.destinationStride, DestinationSize(s));
  frame.assign(Pattern(frame.size(), seed));
  return frame;
}

TEST_F(ConverterBehaviourTest, PairTable) {
  const struct {
    PixelFormat in, out;
    FrameConverter expected;
  } named[] = {
      {PixelFormat::I420, PixelFormat::BGRA, ConvertI420ToBGRA},
      {PixelFormat::YV12, PixelFormat::YUY2, ConvertYV12ToYUY2},
      {PixelFormat::YUY2, PixelFormat::BGRA, ConvertYUY2ToBGRA},
      {PixelFormat::UYVY, PixelFormat::YV12, ConvertUYVYToYV12},
      {PixelFormat::BGRA, PixelFormat::I420, ConvertBGRAToI420},
      {PixelFormat::BGRA, PixelFormat::UYVY, ConvertBGRAToUYVY},
      {PixelFormat::I420, PixelFormat::YV12, ConvertI420ToYV12},
      {PixelFormat::YV12, PixelFormat::I420, ConvertI420ToYV12},
      {PixelFormat::YUY2, PixelFormat::UYVY, ConvertYUY2ToUYVY},
      {PixelFormat::UYVY, PixelFormat::YUY2, ConvertYUY2ToUYVY},
  };
  for (const auto& n : named) EXPECT_EQ(FrameConverterFor(n.in, n.out), n.expected) << PairText({n.in, n.out});
  std::set<FrameConverter> distinct;
  for (const FormatPair& pair : kAllPairs) {
    EXPECT_NE(FrameConverterFor(pair.from, pair.to), nullptr) << PairText(pair);
    distinct.insert(FrameConverterFor(pair.from, pair.to));
  }
  EXPECT_EQ(distinct.size(), 18u);
  for (PixelFormat f : kAllFormats) {
    EXPECT_EQ(FrameConverterFor(f, f), nullptr);
    EXPECT_EQ(FrameConverterFor(PixelFormat::None, f), nullptr);
    EXPECT_EQ(FrameConverterFor(f, PixelFormat::None), nullptr);
  }
  EXPECT_EQ(FrameConverterFor(PixelFormat::None, PixelFormat::None), nullptr);
}

TEST_F(ConverterBehaviourTest, PlanarAndPackedRoundTripsAreLossless) {
  const struct {
    PixelFormat a, b;
  } trips[] = {{PixelFormat::I420, PixelFormat::YV12}, {PixelFormat::YUY2, PixelFormat::UYVY}};
  for (const auto& trip : trips) {
    for (auto size : {std::pair<int32_t, int32_t>{64, 48}, {352, 288}, {6, 2}, {10, 4}}) {
      SCOPED_TRACE(::testing::Message() << FormatName(trip.a) << " " << size.first << "x" << size.second);
      const Scenario there = MakeScenario(trip.a, trip.b, size.first, size.second, 0, 0, 0);
      const Scenario back = MakeScenario(trip.b, trip.a, size.first, size.second, 0, 0, 0);
      auto original = SourceFrame(there, 3);
      auto middle = DestinationFrame(there, 4);
      auto result = DestinationFrame(back, 5);
      const Tessel::ImageProperties described = original->imageProperties;
      ASSERT_TRUE(FrameConverterFor(trip.a, trip.b)(original.frame(), &described, 0, middle.frame()));
      ASSERT_TRUE(FrameConverterFor(trip.b, trip.a)(middle.frame(), &described, 0, result.frame()));
      // Strides that are multiples of 4 give both layouts the same planes.
      if (size.first % 4 == 0) {
        EXPECT_EQ(FirstDifference(result.contents(), original.contents()), -1);
      }
      EXPECT_NE(FirstDifference(middle.contents(), original.contents()), -1);
    }
  }
}

TEST_F(ConverterBehaviourTest, ByteSwapRefusesUnequalStridesAndSmallDestination) {
  const Scenario s = MakeScenario(PixelFormat::YUY2, PixelFormat::UYVY, 8, 4, 0, 0, 0);
  for (const bool swapDirection : {false, true}) {
    const FrameConverter convert =
        swapDirection ? FrameConverterFor(PixelFormat::UYVY, PixelFormat::YUY2) : FrameConverterFor(s.input, s.output);
    auto src = SourceFrame(s, 7);
    GuardedFrame wider(s.width, s.height, s.destinationStride + 2, DestinationSize(s) + 64);
    const Tessel::ImageProperties described = src->imageProperties;
    EXPECT_FALSE(convert(src.frame(), &described, 0, wider.frame()));
    GuardedFrame small(s.width, s.height, s.destinationStride, DestinationSize(s));
    small->capacity = src->dataSize() - 1;
    EXPECT_FALSE(convert(src.frame(), &described, 0, small.frame()));
    EXPECT_EQ(wider->lockCalls() + small->lockCalls() + src->lockCalls(), 0u);
    auto fits = DestinationFrame(s, 8);
    EXPECT_TRUE(convert(src.frame(), &described, 0, fits.frame()));
  }
}

TEST_F(ConverterBehaviourTest, BgraWithOddSizeIsRefusedForPackedOutput) {
  for (auto size : {std::pair<int32_t, int32_t>{3, 4}, {4, 5}, {3, 5}}) {
    for (PixelFormat out : {PixelFormat::YUY2, PixelFormat::UYVY}) {
      const Scenario s = MakeScenario(PixelFormat::BGRA, out, size.first, size.second, 0, 0, 0);
      auto src = SourceFrame(s, 9);
      auto dst = DestinationFrame(s, 10);
      const std::vector<uint8_t> before = dst.contents();
      const Tessel::ImageProperties described = src->imageProperties;
      EXPECT_FALSE(FrameConverterFor(s.input, s.output)(src.frame(), &described, 0, dst.frame())) << s.Describe();
      EXPECT_EQ(dst.contents(), before);
      EXPECT_EQ(src->lockCalls() + dst->lockCalls(), 0u);
    }
  }
}

// The plain routine converts even sizes only; a converter using it reports
// the odd frame as not converted instead of delivering it unchanged.
TEST_F(ConverterBehaviourTest, PlanarFromBgraFailsWhenTheRoutineConvertsNothing) {
  for (converters::PlaneOrder order : {converters::PlaneOrder::UFirst, converters::PlaneOrder::VFirst}) {
    const Scenario odd = MakeScenario(PixelFormat::BGRA, PixelFormat::I420, 3, 5, 0, 0, 0);
    auto src = SourceFrame(odd, 11);
    auto dst = DestinationFrame(odd, 12);
    const std::vector<uint8_t> before = dst.contents();
    EXPECT_FALSE(converters::ConvertToPlanar(src.frame(), PixelFormat::BGRA, dst.frame(), order, &BGRAToPlanar420));
    EXPECT_EQ(dst.contents(), before);
    EXPECT_EQ(src->lockDepth(), 0);
    EXPECT_EQ(dst->lockDepth(), 0);

    const Scenario even = MakeScenario(PixelFormat::BGRA, PixelFormat::I420, 4, 6, 0, 0, 0);
    auto evenSrc = SourceFrame(even, 13);
    auto evenDst = DestinationFrame(even, 14);
    EXPECT_TRUE(
        converters::ConvertToPlanar(evenSrc.frame(), PixelFormat::BGRA, evenDst.frame(), order, &BGRAToPlanar420));
  }
}

TEST_F(ConverterBehaviourTest, PackedToBgraTakesItsRowsFromTheDescription) {
  for (PixelFormat in : {PixelFormat::YUY2, PixelFormat::UYVY}) {
    const Scenario s = MakeScenario(in, PixelFormat::BGRA, 4, 6, 0, 0, 0);
    auto src = SourceFrame(s, 15);
    auto dst = DestinationFrame(s, 16);
    const std::vector<uint8_t> before = dst.contents();
    Tessel::ImageProperties described = src->imageProperties;
    described.height = 3;
    ASSERT_TRUE(FrameConverterFor(in, PixelFormat::BGRA)(src.frame(), &described, 0, dst.frame()));
    const size_t rowBytes = 4 * static_cast<size_t>(s.destinationStride);
    const std::vector<uint8_t> after = dst.contents();
    for (size_t row = 0; row < 6; ++row) {
      const bool changed = !std::equal(after.begin() + row * rowBytes, after.begin() + (row + 1) * rowBytes,
                                       before.begin() + row * rowBytes);
      EXPECT_EQ(changed, row < 3) << FormatName(in) << " row " << row;
    }
  }
}

// Chroma planes: sources at h*s + h*(s/4), destinations at h*s + (h*s)/4.
TEST_F(ConverterBehaviourTest, ChromaPlaneOffsets) {
  {  // stride 6, height 2: the second plane of a source starts at byte 14.
    GuardedFrame src(6, 2, 6, 18);
    for (size_t i = 0; i < 18; ++i) src.bytes()[i] = static_cast<uint8_t>(100 + i);
    GuardedFrame dst(6, 2, 6, 24);
    const Tessel::ImageProperties described = src->imageProperties;
    ASSERT_TRUE(ConvertI420ToUYVY(src.frame(), &described, 0, dst.frame()));
    EXPECT_EQ(dst.bytes()[0], 112);  // U of the first pair: byte 12
    EXPECT_EQ(dst.bytes()[2], 114);  // V of the first pair: byte 14
  }
  {  // ... and in a destination at byte 15.
    GuardedFrame src(6, 2, 6, 48);
    for (size_t i = 0; i < 48; ++i) src.bytes()[i] = static_cast<uint8_t>(i % 4 == 2 ? 250 : 0);  // pure red
    GuardedFrame dst(6, 2, 6, 18);
    std::fill(dst.bytes(), dst.bytes() + 18, 0);
    const Tessel::ImageProperties described = src->imageProperties;
    ASSERT_TRUE(ConvertBGRAToI420(src.frame(), &described, 0, dst.frame()));
    for (size_t i = 12; i < 15; ++i) EXPECT_LT(dst.bytes()[i], 128) << i;  // U of red
    for (size_t i = 15; i < 18; ++i) EXPECT_GT(dst.bytes()[i], 128) << i;  // V of red
  }
  {  // 352 x 288 I420: U at 101376, V at 126720, 144 rows of 176 bytes each.
    const size_t uAt = 101376, vAt = 126720, end = vAt + 144 * 176;
    GuardedFrame src(352, 288, 352, end);
    std::fill(src.bytes(), src.bytes() + uAt, 128);
    std::fill(src.bytes() + uAt, src.bytes() + vAt, 50);
    std::fill(src.bytes() + vAt, src.bytes() + end, 200);
    GuardedFrame dst(352, 288, 352, 288 * 704);
    const Tessel::ImageProperties described = src->imageProperties;
    ASSERT_TRUE(ConvertI420ToYUY2(src.frame(), &described, 0, dst.frame()));
    for (size_t i = 0; i < 288 * 704; i += 4) {
      ASSERT_EQ(dst.bytes()[i + 1], 50) << i;
      ASSERT_EQ(dst.bytes()[i + 3], 200) << i;
    }
    ASSERT_TRUE(ConvertYV12ToYUY2(src.frame(), &described, 0, dst.frame()));
    EXPECT_EQ(dst.bytes()[1], 200);
    EXPECT_EQ(dst.bytes()[3], 50);
  }
}

TEST_F(ConverterBehaviourTest, PlaneCopyCopiesWholeChromaSamplesOfAnOddWidth) {
  const Scenario s = MakeScenario(PixelFormat::I420, PixelFormat::YV12, 7, 4, 1, 1, 0);  // strides 8
  auto src = SourceFrame(s, 17);
  GuardedFrame dst(s.width, s.height, s.destinationStride, DestinationSize(s));
  std::fill(dst.bytes(), dst.bytes() + dst.size(), 0);
  const Tessel::ImageProperties described = src->imageProperties;
  ASSERT_TRUE(ConvertI420ToYV12(src.frame(), &described, 0, dst.frame()));
  // Chroma rows are 4 bytes apart; (7 - 1) / 2 = 3 bytes of each are copied.
  const size_t planes[] = {32, 40};
  for (size_t plane : planes) {
    for (size_t row = 0; row < 2; ++row) {
      for (size_t i = 0; i < 4; ++i) {
        const size_t at = plane + row * 4 + i;
        const size_t from = (plane == 32 ? 40 : 32) + row * 4 + i;
        EXPECT_EQ(dst.bytes()[at], i < 3 ? src.bytes()[from] : 0) << at;
      }
    }
  }
}

}  // namespace
}  // namespace pellix
