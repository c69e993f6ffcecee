// The pure parts of pellix-convert: command line, format names, sizes,
// YUV4MPEG2 header parameters, routine variants and output names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/pellix_convert/cli_options.h"
#include "tools/pellix_convert/conversion_plan.h"
#include "tools/pellix_convert/frame_files.h"
#include "tools/pellix_convert/png_writer.h"
#include "tools/pellix_convert/progress.h"
#include "tools/pellix_convert/routine_variants.h"
#include "tools/pellix_convert/tool_error.h"
#include "tools/pellix_convert/y4m.h"

namespace pellix::convert {
namespace {

TEST(CommandLine, InputAndOutputByOptionOrPosition) {
  const Options a = ParseCommandLine({"-i", "in.yuv", "-o", "out.bgra", "-f", "I420", "--size=64x48"});
  const Options b = ParseCommandLine({"in.yuv", "out.bgra", "-fI420", "-s", "64X48"});
  for (const Options& o : {a, b}) {
    EXPECT_EQ(o.mode, Mode::Convert);
    EXPECT_EQ(o.input, "in.yuv");
    EXPECT_EQ(o.output, "out.bgra");
    EXPECT_EQ(o.from, "I420");
    ASSERT_TRUE(o.size);
    EXPECT_EQ(o.size->width, 64);
    EXPECT_EQ(o.size->height, 48);
  }
  EXPECT_EQ(ParseCommandLine({}).mode, Mode::DefaultRun);
  EXPECT_EQ(ParseCommandLine({"--info"}).mode, Mode::Info);
  EXPECT_EQ(ParseCommandLine({"-", "-", "-y", "-q"}).input, "-");
  EXPECT_EQ(ParseCommandLine({"--", "-odd-name"}).input, "-odd-name");
}

TEST(CommandLine, RefusesWithUsageStatus) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"-i"}, "option '-i' needs a value"},
      {{"-y=1"}, "takes no value"},
      {{"--quiet=yes"}, "takes no value"},
      {{"a", "b", "c"}, "unexpected argument 'c'"},
      {{"a", "-i", "b"}, "input given twice"},
      {{"--frame", "-1"}, "malformed frame number"},
      {{"--frames", "0"}, "malformed frame count"},
      {{"--info", "in.yuv"}, "--info takes no input"},
  };
  for (const auto& [args, message] : cases) {
    try {
      ParseCommandLine(args);
      ADD_FAILURE() << "accepted: " << args[0];
    } catch (const ToolError& error) {
      EXPECT_EQ(error.status(), kExitUsage);
      EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
    }
  }
}

TEST(CommandLine, FrameSizes) {
  for (const char* bad : {"640", "640x", "x480", "0x480", "640x0", "-5x3", "64x48x2", "a x b", "64 x48",
                          "2147483648x1", "+64x48", ""}) {
    EXPECT_THROW(ParseFrameSize(bad), ToolError) << bad;
  }
  const FrameSize largest = ParseFrameSize("2147483647x1");
  EXPECT_EQ(largest.width, 2147483647);
}

TEST(Formats, FromFileNameExtensions) {
  EXPECT_EQ(FormatFromFileName("clip.uyvy"), PixelFormat::UYVY);
  EXPECT_EQ(FormatFromFileName("dir.yv12/clip.BGRA"), PixelFormat::BGRA);
  EXPECT_FALSE(FormatFromFileName("dir.yv12/clip"));
  EXPECT_FALSE(FormatFromFileName("clip.yuv"));
  EXPECT_FALSE(FormatFromFileName("clip.yuv420p"));
}

TEST(Formats, SizesTheFormatsCannotCarry) {
  EXPECT_EQ(SizeProblem(PixelFormat::I420, 64, 48), "");
  EXPECT_EQ(SizeProblem(PixelFormat::BGRA, 63, 47), "");
  EXPECT_EQ(SizeProblem(PixelFormat::YUY2, 63, 47), "");
  EXPECT_NE(SizeProblem(PixelFormat::I420, 63, 48).find("I420 needs an even width and height, not 63x48"),
            std::string::npos);
  EXPECT_NE(SizeProblem(PixelFormat::YV12, 64, 1).find("even"), std::string::npos);
  EXPECT_NE(SizeProblem(PixelFormat::BGRA, 0, 4).find("no pixels"), std::string::npos);
  // 32 bits per pixel x stride x height must fit in 32 bits.
  EXPECT_EQ(SizeProblem(PixelFormat::BGRA, 16384, 8191), "");
  EXPECT_NE(SizeProblem(PixelFormat::BGRA, 16384, 8192).find("too large"), std::string::npos);
}

TEST(Formats, FileLayoutIsTightlyPacked) {
  EXPECT_EQ(FileLayout(PixelFormat::I420, 352, 288).packedBytes(), 352u * 288 * 3 / 2);
  EXPECT_EQ(FileLayout(PixelFormat::YV12, 6, 2).bytes, 18u);
  EXPECT_EQ(FileLayout(PixelFormat::YUY2, 5, 3).packedBytes(), 6u * 2 * 3);  // whole macropixels
  EXPECT_EQ(FileLayout(PixelFormat::BGRA, 5, 3).packedBytes(), 60u);
  for (int32_t w : {1, 2, 15, 16, 17, 854}) EXPECT_EQ(PluginStride(w) % 16, 0) << w;
}

TEST(Y4mHeader, ParsesParameters) {
  const Y4mHeader h = ParseY4mParameters("W320 H240 F30000:1001 It A128:117 C420mpeg2 XYSCSS=420MPEG2");
  EXPECT_EQ(h.width, 320);
  EXPECT_EQ(h.height, 240);
  EXPECT_EQ(h.frameRate, "30000:1001");
  EXPECT_EQ(h.interlacing, "t");
  EXPECT_EQ(h.aspect, "128:117");
  EXPECT_EQ(ParseY4mParameters("H2 W4 A0:0").aspect, "0:0");
}

TEST(Y4mHeader, RefusesMalformedAndUnsupported) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"H240", "no width"},
      {"W320", "no height"},
      {"W320 H240 W320", "given twice"},
      {"W0 H240", "not a positive number"},
      {"W-3 H240", "not a positive number"},
      {"W99999999999 H2", "not a positive number"},
      {"W320 H240 F25", "not N:D"},
      {"W320 H240 F25:0", "not N:D"},
      {"W320 H240 Ix", "interlacing"},
      {"W320 H240 C444", "colour space 'C444' is not supported"},
      {"W320 H240 C420p10", "not supported"},
      {"W320 H240 w3", "is not a parameter"},
  };
  for (const auto& [parameters, message] : cases) {
    try {
      ParseY4mParameters(parameters);
      ADD_FAILURE() << "accepted: " << parameters;
    } catch (const ToolError& error) {
      EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
    }
  }
}

// What each processor gets: the first-match order MMX, SSE, SSE2 with later
// tiers overriding earlier ones.
TEST(RoutineVariants, FollowTheFeatureBits) {
  const struct {
    uint32_t features;
    const char* expected[kRoutineSlots];
  } cases[] = {
      {0, {"plain", "plain", "plain", "plain", "plain", "plain", "plain", "plain", "plain", "plain"}},
      {kMmxBit, {"MMX", "plain", "MMX", "plain", "plain", "MMX", "MMX", "plain", "plain", "plain"}},
      {kMmxBit | kSseBit, {"SSE", "plain", "MMX", "plain", "plain", "SSE", "SSE", "plain", "plain", "plain"}},
      {kMmxBit | kSseBit | kSse2Bit,
       {"SSE2", "plain", "MMX", "plain", "plain", "SSE", "SSE", "plain", "plain", "plain"}},
      {kSse2Bit, {"SSE2", "plain", "plain", "plain", "plain", "plain", "plain", "plain", "plain", "plain"}},
  };
  for (const auto& c : cases) {
    const auto slots = RoutineVariantsFor(c.features);
    for (int slot = 0; slot < kRoutineSlots; ++slot) {
      EXPECT_STREQ(slots[slot].variant, c.expected[slot]) << "features " << c.features << " slot " << slot;
    }
  }
}

TEST(Plan, ContainersAndFormatsFromNames) {
  ConversionPlan plan = PlanConversion(ParseCommandLine({"clip.y4m", "frame.png"}));
  EXPECT_EQ(plan.inputContainer, Container::Y4m);
  EXPECT_EQ(plan.outputContainer, Container::Png);
  EXPECT_EQ(plan.to, PixelFormat::BGRA);
  plan = PlanConversion(ParseCommandLine({"-", "-", "-f", "y4m", "-t", "yuyv422"}));
  EXPECT_EQ(plan.inputContainer, Container::Y4m);
  EXPECT_EQ(plan.to, PixelFormat::YUY2);
  plan = PlanConversion(ParseCommandLine({"a.bgra", "b.y4m", "-s", "64x48", "-t", "IYUV"}));
  EXPECT_EQ(plan.outputContainer, Container::Y4m);
  EXPECT_THROW(PlanConversion(ParseCommandLine({"a.bgra", "b.y4m", "-s", "64x48", "-t", "YV12"})), ToolError);
}

TEST(OutputNames, NumberedPerFrame) {
  EXPECT_EQ(NumberedName("out.png", 7), "out-000007.png");
  EXPECT_EQ(NumberedName("a.b/out", 12), "a.b/out-000012.png");
  EXPECT_EQ(NumberedName("dir/.png", 0), "dir/.png-000000.png");
}

TEST(Progress, LineText) {
  EXPECT_EQ(ProgressText(50, 200, 2.0), "frame 50/200  25.0 fps  0:06 left");
  EXPECT_EQ(ProgressText(50, std::nullopt, 2.0), "frame 50  25.0 fps");
}

}  // namespace
}  // namespace pellix::convert
