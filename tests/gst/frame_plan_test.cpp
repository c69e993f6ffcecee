// Which buffers the plug-in works in directly and which it gets copies of.
// In place needs the plug-in's layout at the buffer's own stride; both
// frames of a conversion share one stride; a copy of a planar frame never
// gets a stride whose chroma planes could overlap.
#include "gst/frame_plan.h"
#include "tests/gst/gst_test_support.h"

namespace pellix::gst::testing {
namespace {

struct PlanCase {
  PixelFormat input;
  PixelFormat output;
  int width;
  int height;
  int inputPadding;  // extra stride bytes of the input buffer (GstVideoMeta)
  bool wrapInput;
  bool wrapOutput;
  int stride;
  const char* why;
};

const PlanCase kCases[] = {
    {PixelFormat::I420, PixelFormat::BGRA, 1280, 720, 0, true, true, 1280, "both layouts are the plug-in's"},
    {PixelFormat::I420, PixelFormat::BGRA, 646, 4, 0, true, false, 648,
     "I420 strides 648 and 324 agree; BGRA's 646 differs, the output is copied"},
    {PixelFormat::I420, PixelFormat::BGRA, 644, 4, 0, false, true, 644,
     "chroma stride 324 is not 644 / 2: the input is copied at the output's stride"},
    {PixelFormat::I420, PixelFormat::YUY2, 642, 4, 0, false, false, 644,
     "chroma stride 324 is not 644 / 2, and a planar copy at YUY2's 642 could overlap"},
    {PixelFormat::YUY2, PixelFormat::BGRA, 33, 7, 0, true, false, 34,
     "YUY2 rows of 17 macropixels; BGRA's stride 33 cannot take them"},
    {PixelFormat::BGRA, PixelFormat::UYVY, 40, 6, 8, true, false, 42,
     "a stride padded by whole pixels is used in place, the larger buffer"},
    {PixelFormat::BGRA, PixelFormat::UYVY, 40, 6, 6, false, true, 40, "a stride of 41.5 pixels is copied"},
    {PixelFormat::YV12, PixelFormat::I420, 64, 2, 13, false, true, 64, "a padded odd stride is copied"},
};

TEST(FramePlan, UsesBuffersInPlaceWhereTheLayoutsCoincide) {
  for (const PlanCase& c : kCases) {
    SCOPED_TRACE(std::string(FormatName(c.input)) + " to " + FormatName(c.output) + " " + std::to_string(c.width) +
                 "x" + std::to_string(c.height) + ": " + c.why);
    GstVideoInfo inInfo = VideoInfo(GstFormat(c.input), c.width, c.height);
    GstVideoInfo outInfo = VideoInfo(GstFormat(c.output), c.width, c.height);
    GstBuffer* inBuffer = MakeVideoBuffer(inInfo, 1, c.inputPadding);
    GstBuffer* outBuffer = MakeVideoBuffer(outInfo, 2);
    GstVideoFrame in;
    GstVideoFrame out;
    ASSERT_TRUE(gst_video_frame_map(&in, &inInfo, inBuffer, GST_MAP_READ));
    ASSERT_TRUE(gst_video_frame_map(&out, &outInfo, outBuffer, GST_MAP_WRITE));
    const FramePlan plan = PlanFrames(c.input, in, c.output, out);
    EXPECT_EQ(plan.wrapInput, c.wrapInput);
    EXPECT_EQ(plan.wrapOutput, c.wrapOutput);
    EXPECT_EQ(plan.stride, c.stride);
    const bool planarCopy = (!plan.wrapInput && IsPlanar(c.input)) || (!plan.wrapOutput && IsPlanar(c.output));
    if (planarCopy) {
      EXPECT_EQ(plan.stride % 4, 0);
    }
    gst_video_frame_unmap(&in);
    gst_video_frame_unmap(&out);
    gst_buffer_unref(inBuffer);
    gst_buffer_unref(outBuffer);
  }
}

}  // namespace
}  // namespace pellix::gst::testing
