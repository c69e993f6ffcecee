// Negotiation through a GstHarness: pass-through, the choice of the closest
// format, colorimetry in the produced caps, sizes the plug-in cannot
// represent, and renegotiation in the middle of a stream.
#include "tests/gst/gst_test_support.h"

namespace pellix::gst::testing {
namespace {

std::string OutputField(Harness& harness, const char* field) {
  GstCaps* caps = harness.outputCaps();
  if (caps == nullptr) return "";
  const char* value = gst_structure_get_string(gst_caps_get_structure(caps, 0), field);
  std::string result = value != nullptr ? value : "";
  gst_caps_unref(caps);
  return result;
}

class Negotiation : public ElementTest {};

TEST_F(Negotiation, SameFormatPassesBuffersThroughUntouched) {
  Harness harness("video/x-raw,format={I420,BGRA}");
  watch(harness.element());
  ASSERT_TRUE(harness.setInput(CapsText("I420", 64, 48)));
  GstBuffer* input = VideoBuffer("I420", 64, 48, 3);
  gst_buffer_ref(input);
  ASSERT_EQ(harness.push(input), GST_FLOW_OK);
  GstBuffer* output = harness.tryPull();
  EXPECT_EQ(output, input) << "the very buffer, not a copy";
  EXPECT_EQ(OutputField(harness, "format"), "I420");
  gst_buffer_unref(output);
  gst_buffer_unref(input);
  const ElementReport report = ReportOf(harness.element());
  EXPECT_EQ(report.componentsMade, 0u);
  EXPECT_EQ(report.frames.handedOut, 0u);
}

TEST_F(Negotiation, OddSizesPassThroughWhenNothingIsConverted) {
  Harness harness("video/x-raw,format=I420");
  watch(harness.element());
  ASSERT_TRUE(harness.setInput(CapsText("I420", 7, 5)));
  ASSERT_EQ(harness.push(VideoBuffer("I420", 7, 5, 4)), GST_FLOW_OK);
  GstBuffer* output = harness.tryPull();
  EXPECT_NE(output, nullptr);
  if (output != nullptr) gst_buffer_unref(output);
}

struct Choice {
  const char* input;
  const char* offered;  // downstream's formats, in its order of preference
  const char* chosen;
};

// Same colour model before chroma resolution before packing.
const Choice kChoices[] = {
    {"I420", "{BGRA,YV12,YUY2}", "YV12"}, {"I420", "{BGRA,UYVY}", "UYVY"},
    {"YV12", "{BGRA,YUY2}", "YUY2"},      {"YUY2", "{BGRA,I420,UYVY}", "UYVY"},
    {"UYVY", "{BGRA,YV12}", "YV12"},      {"BGRA", "{I420,YUY2}", "YUY2"},
    {"BGRA", "{YV12,UYVY}", "UYVY"},      {"I420", "BGRA", "BGRA"},
};

TEST_F(Negotiation, PicksTheClosestFormatDownstreamAccepts) {
  for (const Choice& choice : kChoices) {
    SCOPED_TRACE(std::string(choice.input) + " offered " + choice.offered);
    const std::string downstream = std::string("video/x-raw,format=") + choice.offered;
    Harness harness(downstream.c_str());
    watch(harness.element());
    ASSERT_TRUE(harness.setInput(CapsText(choice.input, 32, 16)));
    ASSERT_EQ(harness.push(VideoBuffer(choice.input, 32, 16, 5)), GST_FLOW_OK);
    GstBuffer* output = harness.tryPull();
    ASSERT_NE(output, nullptr);
    gst_buffer_unref(output);
    EXPECT_EQ(OutputField(harness, "format"), choice.chosen);
  }
}

TEST_F(Negotiation, OddBgraPassesOverPacked422WhenDownstreamOffersMore) {
  Harness harness("video/x-raw,format={YUY2,UYVY,I420}");
  watch(harness.element());
  ASSERT_TRUE(harness.setInput(CapsText("BGRA", 33, 7)));
  ASSERT_EQ(harness.push(VideoBuffer("BGRA", 33, 7, 5)), GST_FLOW_OK);
  GstBuffer* output = harness.tryPull();
  ASSERT_NE(output, nullptr);
  gst_buffer_unref(output);
  EXPECT_EQ(OutputField(harness, "format"), "I420");
}

TEST_F(Negotiation, SizeRateAndAspectRatioPassThrough) {
  Harness harness("video/x-raw,format=BGRA");
  watch(harness.element());
  ASSERT_TRUE(harness.setInput(
      "video/x-raw,format=I420,width=48,height=32,framerate=24000/1001,pixel-aspect-ratio=16/15,interlace-mode=progressive"));
  ASSERT_EQ(harness.push(VideoBuffer("I420", 48, 32, 6)), GST_FLOW_OK);
  gst_buffer_unref(harness.tryPull());
  GstCaps* caps = harness.outputCaps();
  const GstStructure* s = gst_caps_get_structure(caps, 0);
  int value = 0;
  int numerator = 0;
  int denominator = 0;
  EXPECT_TRUE(gst_structure_get_int(s, "width", &value) && value == 48);
  EXPECT_TRUE(gst_structure_get_int(s, "height", &value) && value == 32);
  EXPECT_TRUE(gst_structure_get_fraction(s, "framerate", &numerator, &denominator) && numerator == 24000 &&
              denominator == 1001);
  EXPECT_TRUE(gst_structure_get_fraction(s, "pixel-aspect-ratio", &numerator, &denominator) && numerator == 16 &&
              denominator == 15);
  gst_caps_unref(caps);
}

struct ColorimetryCase {
  const char* input;
  const char* inputColorimetry;  // "" for none
  const char* output;
  GstVideoColorRange range;
  GstVideoColorMatrix matrix;
  GstVideoTransferFunction transfer;  // carried over from the input
};

// Range and matrix as the plug-in converts; transfer and primaries only as
// the input stated them.
const ColorimetryCase kColorimetry[] = {
    {"I420", "", "BGRA", GST_VIDEO_COLOR_RANGE_0_255, GST_VIDEO_COLOR_MATRIX_RGB, GST_VIDEO_TRANSFER_UNKNOWN},
    {"BGRA", "", "YUY2", GST_VIDEO_COLOR_RANGE_16_235, GST_VIDEO_COLOR_MATRIX_BT601, GST_VIDEO_TRANSFER_UNKNOWN},
    {"BGRA", "sRGB", "I420", GST_VIDEO_COLOR_RANGE_16_235, GST_VIDEO_COLOR_MATRIX_BT601, GST_VIDEO_TRANSFER_SRGB},
    {"YUY2", "bt601", "BGRA", GST_VIDEO_COLOR_RANGE_0_255, GST_VIDEO_COLOR_MATRIX_RGB, GST_VIDEO_TRANSFER_BT601},
    {"YUY2", "bt601", "I420", GST_VIDEO_COLOR_RANGE_16_235, GST_VIDEO_COLOR_MATRIX_BT601, GST_VIDEO_TRANSFER_BT601},
};

TEST_F(Negotiation, ProducedCapsStateTheColorimetryOfTheConversion) {
  for (const ColorimetryCase& c : kColorimetry) {
    SCOPED_TRACE(std::string(c.input) + " (" + c.inputColorimetry + ") to " + c.output);
    const std::string downstream = std::string("video/x-raw,format=") + c.output;
    Harness harness(downstream.c_str());
    watch(harness.element());
    const std::string stated = *c.inputColorimetry ? std::string(",colorimetry=") + c.inputColorimetry : "";
    ASSERT_TRUE(harness.setInput(CapsText(c.input, 16, 8, stated.c_str())));
    ASSERT_EQ(harness.push(VideoBuffer(c.input, 16, 8, 7)), GST_FLOW_OK);
    gst_buffer_unref(harness.tryPull());
    GstVideoColorimetry produced;
    ASSERT_TRUE(gst_video_colorimetry_from_string(&produced, OutputField(harness, "colorimetry").c_str()));
    EXPECT_EQ(produced.range, c.range);
    EXPECT_EQ(produced.matrix, c.matrix);
    EXPECT_EQ(produced.transfer, c.transfer);
    EXPECT_TRUE(TakeWarnings(harness.bus()).empty());
  }
}

struct Refused {
  const char* input;  // caps of the input
  const char* downstream;
  const char* message;
};

// Caps that mean another matrix or range than the plug-in converts with are
// refused with a readable reason; so is a size the pair has no frame for.
const Refused kRefused[] = {
    {"format=I420,width=16,height=8,colorimetry=bt709", "format=BGRA", "input colorimetry bt709 cannot be converted"},
    // GStreamer reads YUV caps of more than 576 lines without colorimetry as
    // BT.709.
    {"format=YUY2,width=1280,height=720", "format=BGRA",
     "input colorimetry bt709 (what GStreamer reads from 1280x720 caps without colorimetry)"},
    {"format=I420,width=16,height=8,colorimetry=0:3:5:1", "format=BGRx", "input colorimetry BT.709 matrix, unknown range"},
    // Full-range YUV, as JPEG decoders label it.
    {"format=I420,width=16,height=8,colorimetry=1:4:0:0", "format=BGRA", "BT.601 matrix, full range cannot be"},
    {"format=BGRA,width=16,height=8,colorimetry=2:1:0:0", "format=I420", "input colorimetry RGB matrix, video range"},
    {"format=BGRA,width=6,height=5", "format=YUY2", "BGRA at 6x5 has no YUY2 frame"},
    {"format=BGRx,width=7,height=4", "format=UYVY", "BGRA at 7x4 has no UYVY frame"},
    // Not offered at all: negotiation fails before set-up, as GStreamer's
    // own converters fail for a format they do not make.
    {"format=BGRx,width=8,height=4", "format=BGRA", nullptr},
};

TEST_F(Negotiation, RefusesCapsItCannotConvertAsTheyMeanOnceWithAReadableReason) {
  for (const Refused& refused : kRefused) {
    SCOPED_TRACE(std::string(refused.input) + " to " + refused.downstream);
    const std::string downstream = std::string("video/x-raw,") + refused.downstream;
    Harness harness(downstream.c_str());
    watch(harness.element());
    const std::string input = std::string("video/x-raw,framerate=30/1,") + refused.input;
    harness.setInput(input);
    GstCaps* caps = gst_caps_from_string(input.c_str());
    GstVideoInfo info = VideoInfoOf(caps);
    gst_caps_unref(caps);
    // GStreamer tries the caps again on every buffer; the reason is posted
    // once.
    for (int attempt = 0; attempt < 3; ++attempt) {
      EXPECT_EQ(harness.push(MakeVideoBuffer(info, 9)), GST_FLOW_NOT_NEGOTIATED);
    }
    EXPECT_EQ(harness.tryPull(), nullptr);
    // One error, whether the caps are refused when offered or at set-up.
    std::vector<std::string> errors = TakeErrors(harness.bus());
    for (const std::string& warning : TakeWarnings(harness.bus())) errors.push_back(warning);
    EXPECT_EQ(errors.size(), refused.message != nullptr ? 1u : 0u) << ::testing::PrintToString(errors);
    if (refused.message != nullptr) {
      EXPECT_TRUE(AnyContains(errors, refused.message)) << ::testing::PrintToString(errors);
    }
    EXPECT_FALSE(AnyContains(errors, ":3:5:")) << "colorimetry named readably";
    EXPECT_EQ(ReportOf(harness.element()).componentsMade, 0u);
  }
}

// Caps can change mid-stream, after any check at the start: refused caps
// fail negotiation (not-negotiated on every push, one error naming the
// reason), and caps the element converts resume the stream.
TEST_F(Negotiation, RefusedCapsMidStreamFailNegotiationOnceAndGoodCapsResume) {
  Harness harness("video/x-raw,format=BGRA");
  watch(harness.element());
  const char* phases[] = {"", ",colorimetry=bt709", ""};
  uint64_t seed = 30;
  for (const char* extra : phases) {
    SCOPED_TRACE(std::string("I420") + extra);
    const bool refused = *extra != '\0';
    const bool announced = harness.setInput(CapsText("I420", 32, 16, extra));
    GstVideoInfo info = VideoInfo(GST_VIDEO_FORMAT_I420, 32, 16);
    if (!refused) {
      ASSERT_TRUE(announced);
      EXPECT_TRUE(ConvertsAsTheReference(harness, MakeVideoBuffer(info, ++seed), info, GST_VIDEO_FORMAT_BGRA));
      EXPECT_TRUE(TakeErrors(harness.bus()).empty());
      continue;
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
      EXPECT_EQ(harness.push(MakeVideoBuffer(info, ++seed)), GST_FLOW_NOT_NEGOTIATED);
    }
    const std::vector<std::string> errors = TakeErrors(harness.bus());
    EXPECT_EQ(errors.size(), 1u) << ::testing::PrintToString(errors);
    EXPECT_TRUE(AnyContains(errors, "input colorimetry bt709 cannot be converted")) << ::testing::PrintToString(errors);
  }
}

TEST_F(Negotiation, HighDefinitionOutputStatesTheBt601ItIsMadeWith) {
  // Without colorimetry GStreamer would read this I420 as BT.709.
  Harness harness("video/x-raw,format=I420");
  watch(harness.element());
  ASSERT_TRUE(harness.setInput(CapsText("BGRA", 1280, 720)));
  ASSERT_EQ(harness.push(VideoBuffer("BGRA", 1280, 720, 8)), GST_FLOW_OK);
  gst_buffer_unref(harness.tryPull());
  GstCaps* caps = harness.outputCaps();
  const GstVideoInfo info = VideoInfoOf(caps);
  gst_caps_unref(caps);
  EXPECT_EQ(info.colorimetry.matrix, GST_VIDEO_COLOR_MATRIX_BT601);
  EXPECT_EQ(info.colorimetry.range, GST_VIDEO_COLOR_RANGE_16_235);
}

TEST_F(Negotiation, RefusesToLabelItsOutputWithAnotherMatrix) {
  Harness harness("video/x-raw,format=I420,colorimetry=bt709");
  watch(harness.element());
  harness.setInput(CapsText("BGRA", 16, 8));
  EXPECT_EQ(harness.push(VideoBuffer("BGRA", 16, 8, 2)), GST_FLOW_NOT_NEGOTIATED);
  EXPECT_TRUE(AnyContains(TakeErrors(harness.bus()), "downstream asks for colorimetry bt709"));
}

TEST_F(Negotiation, RenegotiationMidStreamMakesNewPortsForTheNewCaps) {
  struct Phase {
    const char* input;
    const char* output;
    int width;
    int height;
  };
  const Phase phases[] = {{"I420", "BGRA", 64, 48}, {"YUY2", "I420", 32, 16}, {"YUY2", "YUY2", 32, 16},
                          {"BGRA", "UYVY", 20, 10}};
  Harness harness("video/x-raw,format=BGRA");
  watch(harness.element());
  uint64_t seed = 10;
  uint64_t components = 0;
  for (const Phase& phase : phases) {
    SCOPED_TRACE(std::string(phase.input) + " to " + phase.output);
    const std::string downstream = std::string("video/x-raw,format=") + phase.output;
    harness.setDownstream(downstream.c_str());
    ASSERT_TRUE(harness.setInput(CapsText(phase.input, phase.width, phase.height)));
    const bool converts = std::string(phase.input) != phase.output;
    for (int frame = 0; frame < 2; ++frame) {
      GstVideoInfo info = VideoInfo(gst_video_format_from_string(phase.input), phase.width, phase.height);
      GstBuffer* input = MakeVideoBuffer(info, ++seed);
      const GstVideoFormat outFormat = gst_video_format_from_string(phase.output);
      GstBuffer* expected = converts ? ReferenceConversion(input, info, outFormat) : gst_buffer_ref(input);
      ASSERT_EQ(harness.push(input), GST_FLOW_OK);
      GstBuffer* output = harness.tryPull();
      ASSERT_NE(output, nullptr);
      EXPECT_EQ(OutputField(harness, "format"), phase.output);
      const GstVideoInfo expectedInfo = VideoInfo(outFormat, phase.width, phase.height);
      GstCaps* caps = harness.outputCaps();
      EXPECT_TRUE(SamePixels(output, VideoInfoOf(caps), expected, expectedInfo));
      gst_caps_unref(caps);
      gst_buffer_unref(output);
      gst_buffer_unref(expected);
    }
    if (converts) ++components;
    const ElementReport report = ReportOf(harness.element());
    EXPECT_EQ(report.componentsMade, components) << "one component per conversion caps";
    EXPECT_EQ(report.componentLive, converts);
  }
}

}  // namespace
}  // namespace pellix::gst::testing
