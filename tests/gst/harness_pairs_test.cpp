// All twenty pairs through the element, each output compared byte for byte
// with the reference host converting the same pixels with its own frames.
// The geometries cover buffers the plug-in can use in place, GStreamer
// layouts that differ from the plug-in's (I420 chroma strides rounded to 4
// separately from the luma stride), padded strides described by a
// GstVideoMeta, and odd sizes where neither side is 4:2:0. Every input
// buffer ends at a guard page.
#include "tests/gst/gst_test_support.h"
#include "formats/size_rules.h"
#include "tests/support/format_pairs.h"

namespace pellix::gst::testing {
namespace {

using Pair = FormatPair;

struct Geometry {
  int width;
  int height;
  int padding;  // extra stride bytes through a GstVideoMeta
  const char* why;
};

const Geometry kGeometries[] = {
    {64, 48, 0, "GStreamer's layout is the plug-in's: converted in place"},
    {36, 10, 0, "I420 luma stride 36, chroma stride 20 (the plug-in's 18)"},
    {642, 4, 0, "I420 luma stride 644, chroma stride 324 (the plug-in's 322)"},
    {2, 2, 0, "the smallest 4:2:0 frame"},
    {40, 6, 13, "padded odd strides and gaps between planes"},
    {33, 7, 0, "odd width and height"},
    {1, 1, 5, "a single pixel, padded"},
    {35, 10, 0, "odd width: 18 chroma columns in GStreamer's 4:2:0 frame"},
    {36, 9, 3, "odd height, padded: 5 chroma rows"},
    {3, 3, 0, "odd both ways, 2x2 chroma"},
};

// BGRA of odd size has no 4:2:2 frame (refused at negotiation).
bool Applies(const Pair& pair, const Geometry& geometry) {
  return AcceptsSize(pair, geometry.width, geometry.height);
}

class PairThroughElement : public ElementTest, public ::testing::WithParamInterface<Pair> {
 protected:
  // Each applicable geometry, two frames each, against the reference host.
  void ConvertEveryGeometry(GstVideoFormat from, GstVideoFormat to) {
    const Pair pair = GetParam();
    uint64_t seed = 1;
    for (const Geometry& geometry : kGeometries) {
      if (!Applies(pair, geometry)) continue;
      SCOPED_TRACE(std::to_string(geometry.width) + "x" + std::to_string(geometry.height) + ": " + geometry.why);
      Convert(from, to, geometry, seed);
    }
  }

  void Convert(GstVideoFormat from, GstVideoFormat to, const Geometry& geometry, uint64_t& seed);
};

void PairThroughElement::Convert(GstVideoFormat from, GstVideoFormat to, const Geometry& geometry, uint64_t& seed) {
  const std::string downstream = std::string("video/x-raw,format=") + gst_video_format_to_string(to);
  Harness harness(downstream.c_str());
  watch(harness.element());
  ASSERT_TRUE(harness.setInput(CapsText(gst_video_format_to_string(from), geometry.width, geometry.height)));
  for (int frame = 0; frame < 2; ++frame) {
    GstVideoInfo inInfo = VideoInfo(from, geometry.width, geometry.height);
    GstBuffer* input = MakeVideoBuffer(inInfo, ++seed, geometry.padding);
    ASSERT_TRUE(ConvertsAsTheReference(harness, input, inInfo, to)) << "frame " << frame;
  }
  EXPECT_EQ(ReportOf(harness.element()).componentsMade, 1u);
}

TEST_P(PairThroughElement, MatchesTheReferenceHost) {
  ConvertEveryGeometry(GstFormat(GetParam().from), GstFormat(GetParam().to));
}

// BGRx on either side is BGRA to the plug-in: the same bytes.
TEST_P(PairThroughElement, BgrxInPlaceOfBgraGivesTheSameBytes) {
  const Pair pair = GetParam();
  if (pair.from != PixelFormat::BGRA && pair.to != PixelFormat::BGRA) GTEST_SKIP() << "no BGRA side";
  const auto bgrx = [](PixelFormat format) {
    return format == PixelFormat::BGRA ? GST_VIDEO_FORMAT_BGRx : GstFormat(format);
  };
  ConvertEveryGeometry(bgrx(pair.from), bgrx(pair.to));
}

INSTANTIATE_TEST_SUITE_P(AllPairs, PairThroughElement, ::testing::ValuesIn(kAllPairs),
                         [](const ::testing::TestParamInfo<Pair>& info) { return PairTestName(info); });

}  // namespace
}  // namespace pellix::gst::testing
