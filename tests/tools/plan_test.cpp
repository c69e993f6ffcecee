// What a command line asks for, checked before any work: containers and
// formats from options, names and FFmpeg's spellings, and the sizes the
// conversions can carry, decided as the plug-in decides them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/pixel_format.h"
#include "host/plugin_library.h"
#include "tools/pellix_convert/conversion_plan.h"
#include "tools/pellix_convert/frame_files.h"
#include "tools/pellix_convert/plugin_conversion.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

using Args = std::vector<std::string>;

ConversionPlan Plan(const Args& args) { return PlanConversion(ParseCommandLine(args)); }

TEST(Plan, ContainersAndFormats) {
  const struct {
    const char* name;
    Args args;
    Container in;
    PixelFormat from;
    Container out;
    PixelFormat to;
  } cases[] = {
      {"Y4mToPngByName",
       {"clip.y4m", "frame.png"},
       Container::Y4m,
       PixelFormat::I420,
       Container::Png,
       PixelFormat::BGRA},
      {"Y4mOnPipes",
       {"-", "-", "-f", "y4m", "-t", "yuyv422"},
       Container::Y4m,
       PixelFormat::I420,
       Container::Raw,
       PixelFormat::YUY2},
      {"FfmpegContainerNames",
       {"-f", "yuv4mpegpipe", "-", "-t", "yuv4mpegpipe", "-"},
       Container::Y4m,
       PixelFormat::I420,
       Container::Y4m,
       PixelFormat::I420},
      {"RawToY4mByName",
       {"a.bgra", "b.y4m", "-s", "64x48", "-t", "IYUV"},
       Container::Raw,
       PixelFormat::BGRA,
       Container::Y4m,
       PixelFormat::I420},
      {"RawvideoWithPixFmt",
       {"-f", "rawvideo", "-pix_fmt", "uyvy422", "-s", "vga", "-i", "in.yuv", "-pix_fmt", "bgra", "out.raw"},
       Container::Raw,
       PixelFormat::UYVY,
       Container::Raw,
       PixelFormat::BGRA},
      {"PixFmtOverridesNoExtension",
       {"-pix_fmt", "yuv420p", "in.dat", "out.yv12", "-s", "cif"},
       Container::Raw,
       PixelFormat::I420,
       Container::Raw,
       PixelFormat::YV12},
      {"OptionBeatsExtension",
       {"in.bgra", "out.yuy2", "-f", "yuyv422", "-t", "uyvy422", "-s", "8x8"},
       Container::Raw,
       PixelFormat::YUY2,
       Container::Raw,
       PixelFormat::UYVY},
      {"PngShowsTheOutputFormat",
       {"in.i420", "shot.png", "-s", "8x8", "-t", "YUY2"},
       Container::Raw,
       PixelFormat::I420,
       Container::Png,
       PixelFormat::YUY2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ConversionPlan plan;
    ASSERT_NO_THROW(plan = Plan(c.args));
    EXPECT_FALSE(plan.inputByContent);
    EXPECT_EQ(plan.inputContainer, c.in);
    EXPECT_EQ(plan.from, c.from);
    EXPECT_EQ(plan.outputContainer, c.out);
    EXPECT_EQ(plan.to, c.to);
  }
}

// With nothing said about the input, its first bytes decide.
TEST(Plan, InputLeftToItsContent) {
  for (const char* input : {"-", "clip.yuv", "clip"}) {
    ConversionPlan plan = Plan({input, "out.bgra"});
    EXPECT_TRUE(plan.inputByContent) << input;
    ConversionPlan y4m = plan;
    SettleInputContainer(y4m, true);
    EXPECT_EQ(y4m.inputContainer, Container::Y4m);
    EXPECT_EQ(y4m.from, PixelFormat::I420);
    try {
      SettleInputContainer(plan, false);
      ADD_FAILURE() << "raw input of no known format accepted";
    } catch (const ToolError& error) {
      EXPECT_EQ(error.status(), kExitUsage);
      EXPECT_NE(std::string(error.what()).find("input format unknown: give -f FORMAT"), std::string::npos);
    }
  }
  // A size given for what turns out to be YUV4MPEG2 is a contradiction.
  ConversionPlan sized = Plan({"-", "out.bgra", "-s", "64x48"});
  EXPECT_THROW(SettleInputContainer(sized, true), ToolError);
}

TEST(Plan, Refusals) {
  const std::vector<std::pair<Args, std::string>> cases = {
      {{"a.bgra", "b.y4m", "-s", "64x48", "-t", "YV12"}, "YUV4MPEG2 output carries I420 only, not YV12"},
      {{"-pix_fmt", "bgra", "a.y4m", "b.bgra"}, "YUV4MPEG2 input carries I420 only, not BGRA"},
      {{"-f", "I420", "-pix_fmt", "yuv420p", "a.i420", "b.bgra", "-s", "64x48"}, "input pixel format given twice"},
      {{"a.i420", "b.raw", "-s", "64x48", "-t", "bgra", "-pix_fmt", "bgra"}, "output pixel format given twice"},
      {{"a.i420", "b.bgra", "-s", "64x48", "-r", "25"}, "-r applies to YUV4MPEG2 output only"},
      {{"a.i420", "b.png", "-s", "64x48", "--frame", "3", "--frames", "3"}, "--frame 3 is not among the 3 frames"},
      {{"a.i420", "b.bgra", "-s", "64x48", "--frame", "1"}, "--frame applies to PNG output only"},
      {{"a.y4m", "b.bgra", "-s", "64x48"}, "--size does not apply to YUV4MPEG2 input"},
      {{"a.raw", "b.bgra", "-s", "64x48", "-f", "rawvideo"}, "input format unknown"},
      {{"a.i420", "b.raw", "-s", "64x48"}, "output format unknown"},
      {{"a.i420", "b.bgra", "-f", "nv12", "-s", "64x48"}, "unknown input format 'nv12'"},
      {{"a.i420", "b.bgra"}, "missing frame size"},
      {{"a.i420", "b.bgra", "-s", "63x48"}, "I420 needs an even width and height, not 63x48"},
      {{"a.bgra", "b.uyvy", "-s", "63x48"}, "converts BGRA to UYVY only at an even width and height, not 63x48"},
      {{"a.bgra", "b.png", "-s", "64x47", "-t", "YUY2"}, "converts BGRA to YUY2 only at an even width and height"},
  };
  for (const auto& [args, message] : cases) {
    try {
      Plan(args);
      ADD_FAILURE() << "accepted: " << message;
    } catch (const ToolError& error) {
      EXPECT_EQ(error.status(), kExitUsage) << error.what();
      EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
    }
  }
}

// The sizes a pair of the packed formats refuses up front are the sizes the
// plug-in refuses: each pair at each parity of width and height, both sides
// of the line, through the plug-in itself. (Planar formats need even sizes
// for the file layouts' sake, whatever the plug-in does with odd ones.)
TEST(Plan, PairSizesAreWhatThePlugInConverts) {
  const auto library = LoadPlugin(PluginLibrary::defaultPath());
  const PixelFormat packed[] = {PixelFormat::YUY2, PixelFormat::UYVY, PixelFormat::BGRA};
  for (PixelFormat from : packed) {
    for (PixelFormat to : packed) {
      if (from == to) continue;
      for (const auto& [width, height] : std::vector<std::pair<int32_t, int32_t>>{{6, 4}, {7, 4}, {6, 5}, {7, 5}}) {
        const std::string what = std::string(FormatName(from)) + " to " + FormatName(to) + " at " +
                                 std::to_string(width) + "x" + std::to_string(height);
        const bool accepted = PairSizeProblem({from, to}, width, height).empty();
        PluginConversion conversion(library, from, to, width, height);
        const std::vector<uint8_t> frame(FileLayout(from, width, height).packedBytes(), 128);
        std::vector<uint8_t> out;
        bool converted = true;
        try {
          conversion.convert(frame.data(), out);
        } catch (const ToolError&) {
          converted = false;
        }
        EXPECT_EQ(accepted, converted) << what;
      }
    }
  }
}

}  // namespace
}  // namespace pellix::convert
