// All twenty pairs through the element, each output compared byte for byte
// with the reference host converting the same pixels with its own frames.
// The geometries cover buffers the plug-in can use in place, GStreamer
// layouts that differ from the plug-in's (I420 chroma strides rounded to 4
// separately from the luma stride), padded strides described by a
// GstVideoMeta, and odd sizes where neither side is 4:2:0. Every input
// buffer ends at a guard page.
#include "tests/gst/gst_test_support.h"
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
    {33, 7, 0, "odd width and height (no 4:2:0 side)"},
    {1, 1, 5, "a single pixel, padded (no 4:2:0 side)"},
};

// Odd sizes have no exact 4:2:0 layout (refused at negotiation) and no 4:2:2
// layout from BGRA (the plug-in refuses the frame).
bool Applies(const Pair& pair, const Geometry& geometry) {
  const bool odd = geometry.width % 2 != 0 || geometry.height % 2 != 0;
  if (!odd) return true;
  const bool packed422Output = pair.to == PixelFormat::YUY2 || pair.to == PixelFormat::UYVY;
  return !IsPlanar(pair.from) && !IsPlanar(pair.to) && !(pair.from == PixelFormat::BGRA && packed422Output);
}

class PairThroughElement : public ElementTest, public ::testing::WithParamInterface<Pair> {};

TEST_P(PairThroughElement, MatchesTheReferenceHost) {
  const Pair pair = GetParam();
  uint64_t seed = 1;
  for (const Geometry& geometry : kGeometries) {
    if (!Applies(pair, geometry)) continue;
    SCOPED_TRACE(std::to_string(geometry.width) + "x" + std::to_string(geometry.height) + ": " + geometry.why);
    const std::string downstream = std::string("video/x-raw,format=") + FormatName(pair.to);
    Harness harness(downstream.c_str());
    watch(harness.element());
    ASSERT_TRUE(harness.setInput(CapsText(FormatName(pair.from), geometry.width, geometry.height)));
    for (int frame = 0; frame < 2; ++frame) {
      GstVideoInfo inInfo = VideoInfo(GstFormat(pair.from), geometry.width, geometry.height);
      GstBuffer* input = MakeVideoBuffer(inInfo, ++seed, geometry.padding);
      GstBuffer* expected = ReferenceConversion(input, inInfo, GstFormat(pair.to));
      ASSERT_EQ(harness.push(input), GST_FLOW_OK) << ::testing::PrintToString(TakeErrors(harness.bus()));
      GstBuffer* output = harness.tryPull();
      ASSERT_NE(output, nullptr);
      GstCaps* caps = harness.outputCaps();
      const GstVideoInfo outInfo = VideoInfoOf(caps);
      gst_caps_unref(caps);
      const GstVideoInfo expectedInfo = VideoInfo(GstFormat(pair.to), geometry.width, geometry.height);
      EXPECT_TRUE(SamePixels(output, outInfo, expected, expectedInfo)) << "frame " << frame;
      gst_buffer_unref(output);
      gst_buffer_unref(expected);
    }
    EXPECT_EQ(ReportOf(harness.element()).componentsMade, 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(AllPairs, PairThroughElement, ::testing::ValuesIn(kAllPairs),
                         [](const ::testing::TestParamInfo<Pair>& info) { return PairTestName(info); });

}  // namespace
}  // namespace pellix::gst::testing
