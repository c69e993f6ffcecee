// pellixconvert beside GStreamer's own videoconvert on videotestsrc patterns,
// I420 -> BGRA and BGRA -> I420 with BT.601 video-range YUV on both sides.
// The figures are reported, not bounded (the README explains them): the
// plug-in repeats each chroma sample over its 2x2 block where videoconvert
// interpolates between sample sites, so they differ most where chroma
// changes between neighbouring pixels; and videoconvert's default 8-bit
// matrix path is a few levels off the exact BT.601 result on its own (video
// white, Y 235, becomes 253 instead of 255), which shows on flat colour.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <vector>

#include "tests/gst/gst_test_support.h"

namespace pellix::gst::testing {
namespace {

struct ChannelDifference {
  const char* name;
  int largest = 0;
  double mean = 0;
};

constexpr const char* kBgr[] = {"B", "G", "R"};
constexpr const char* kYuv[] = {"Y", "U", "V"};
constexpr int kWidth = 320;
constexpr int kHeight = 240;

// Largest and mean absolute difference per channel: B, G, R of BGRA (alpha
// must be 255 in ours), or the Y, U, V planes of I420.
std::vector<ChannelDifference> Compare(GstBuffer* ours, GstBuffer* theirs, GstVideoFormat format) {
  GstVideoInfo info = VideoInfo(format, kWidth, kHeight);
  GstVideoFrame a;
  GstVideoFrame b;
  EXPECT_TRUE(gst_video_frame_map(&a, &info, ours, GST_MAP_READ));
  EXPECT_TRUE(gst_video_frame_map(&b, &info, theirs, GST_MAP_READ));
  const bool bgra = format == GST_VIDEO_FORMAT_BGRA;
  std::vector<ChannelDifference> result;
  for (const char* name : bgra ? kBgr : kYuv) result.push_back(ChannelDifference{name});
  if (bgra) {
    std::vector<uint64_t> sums(3, 0);
    for (int y = 0; y < kHeight; ++y) {
      const auto* ra = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&a, 0)) + y * GST_VIDEO_FRAME_PLANE_STRIDE(&a, 0);
      const auto* rb = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&b, 0)) + y * GST_VIDEO_FRAME_PLANE_STRIDE(&b, 0);
      for (int x = 0; x < kWidth; ++x) {
        EXPECT_EQ(ra[4 * x + 3], 255) << "alpha at " << x << "," << y;
        for (int c = 0; c < 3; ++c) {
          const int d = std::abs(ra[4 * x + c] - rb[4 * x + c]);
          result[c].largest = std::max(result[c].largest, d);
          sums[c] += static_cast<uint64_t>(d);
        }
      }
    }
    for (int c = 0; c < 3; ++c) result[c].mean = static_cast<double>(sums[c]) / (kWidth * kHeight);
  } else {
    for (int c = 0; c < 3; ++c) {
      const int width = GST_VIDEO_FRAME_COMP_WIDTH(&a, c);
      const int height = GST_VIDEO_FRAME_COMP_HEIGHT(&a, c);
      uint64_t sum = 0;
      for (int y = 0; y < height; ++y) {
        const auto* ra = static_cast<const uint8_t*>(GST_VIDEO_FRAME_COMP_DATA(&a, c)) + y * GST_VIDEO_FRAME_COMP_STRIDE(&a, c);
        const auto* rb = static_cast<const uint8_t*>(GST_VIDEO_FRAME_COMP_DATA(&b, c)) + y * GST_VIDEO_FRAME_COMP_STRIDE(&b, c);
        for (int x = 0; x < width; ++x) {
          const int d = std::abs(ra[x] - rb[x]);
          result[c].largest = std::max(result[c].largest, d);
          sum += static_cast<uint64_t>(d);
        }
      }
      result[c].mean = static_cast<double>(sum) / (width * height);
    }
  }
  gst_video_frame_unmap(&a);
  gst_video_frame_unmap(&b);
  return result;
}

struct Direction {
  const char* name;
  const char* input;
  const char* output;
  GstVideoFormat outputFormat;
};

const Direction kDirections[] = {
    {"I420 -> BGRA", "video/x-raw,format=I420,width=320,height=240,colorimetry=bt601", "video/x-raw,format=BGRA",
     GST_VIDEO_FORMAT_BGRA},
    {"BGRA -> I420", "video/x-raw,format=BGRA,width=320,height=240",
     "video/x-raw,format=I420,colorimetry=bt601", GST_VIDEO_FORMAT_I420},
};

const char* const kPatterns[] = {"smpte75", "colors", "gradient", "snow", "red", "white"};

class AgreementWithVideoconvert : public ElementTest {
 protected:
  // One frame of `pattern` converted by `converter` (pellixconvert or
  // videoconvert) from `input` caps to `output` caps.
  GstBuffer* Convert(const char* converter, const char* pattern, const Direction& direction) {
    const std::string description = std::string("videotestsrc num-buffers=1 pattern=") + pattern + " ! " +
                                    direction.input + " ! " + converter + " name=converter ! " + direction.output +
                                    " ! appsink name=out sync=false wait-on-eos=false";
    Pipeline pipeline(description);
    GstElement* element = pipeline.element("converter");
    if (std::string(converter) == "pellixconvert") watch(element);
    gst_object_unref(element);
    const std::string error = pipeline.run();
    EXPECT_EQ(error, "") << description;
    const std::vector<GstSample*> samples = pipeline.drain("out");
    return samples.size() == 1 ? gst_buffer_ref(gst_sample_get_buffer(samples[0])) : nullptr;
  }
};

TEST_F(AgreementWithVideoconvert, LargestAndMeanDifferencePerChannel) {
  for (const Direction& direction : kDirections) {
    std::printf("pellixconvert vs videoconvert, %s, 320x240 (largest / mean absolute difference):\n", direction.name);
    for (const char* pattern : kPatterns) {
      SCOPED_TRACE(std::string(direction.name) + " " + pattern);
      GstBuffer* ours = Convert("pellixconvert", pattern, direction);
      GstBuffer* theirs = Convert("videoconvert", pattern, direction);
      ASSERT_NE(ours, nullptr);
      ASSERT_NE(theirs, nullptr);
      std::printf("  %-9s", pattern);
      for (const ChannelDifference& channel : Compare(ours, theirs, direction.outputFormat)) {
        std::printf("  %s %3d / %6.3f", channel.name, channel.largest, channel.mean);
        RecordProperty(std::string(direction.outputFormat == GST_VIDEO_FORMAT_BGRA ? "to_bgra_" : "to_i420_") +
                           pattern + "_" + channel.name,
                       std::to_string(channel.largest) + "/" + std::to_string(channel.mean));
      }
      std::printf("\n");
      gst_buffer_unref(ours);
      gst_buffer_unref(theirs);
    }
  }
  std::fflush(stdout);
}

}  // namespace
}  // namespace pellix::gst::testing
