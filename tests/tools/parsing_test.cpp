// The pure parts of pellix-convert: file names, sizes and layouts,
// YUV4MPEG2 header parameters, routine variants, output names, progress.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/pellix_convert/frame_files.h"
#include "tools/pellix_convert/png_writer.h"
#include "tools/pellix_convert/progress.h"
#include "tools/pellix_convert/tool_error.h"
#include "tools/pellix_convert/y4m.h"

namespace pellix::convert {
namespace {

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
  const Y4mHeader h =
      ParseY4mParameters("W320 H240 F30000:1001 It A128:117 C420mpeg2 XYSCSS=420MPEG2 XCOLORRANGE=FULL");
  EXPECT_EQ(h.width, 320);
  EXPECT_EQ(h.height, 240);
  EXPECT_EQ(h.frameRate, "30000:1001");
  EXPECT_EQ(h.interlacing, "t");
  EXPECT_EQ(h.aspect, "128:117");
  EXPECT_EQ(h.colourSpace, "420mpeg2");
  EXPECT_EQ(h.extensions, (std::vector<std::string>{"YSCSS=420MPEG2", "COLORRANGE=FULL"}));
  EXPECT_TRUE(h.fullRange());
  const Y4mHeader defaults = ParseY4mParameters("H2 W4 A0:0 F0:0 XCOLORRANGE=LIMITED");
  EXPECT_EQ(defaults.aspect, "0:0");
  EXPECT_EQ(defaults.frameRate, "0:0") << "a rate of 0:0 is unknown, not malformed";
  EXPECT_EQ(defaults.colourSpace, "420jpeg");
  EXPECT_FALSE(defaults.fullRange());
  for (const char* space : {"C420jpeg", "C420paldv", "C420mpeg2", "C420"}) {
    EXPECT_EQ("C" + ParseY4mParameters(std::string("W4 H2 ") + space).colourSpace, space);
  }
}

// Well-formed headers of streams that are not 8-bit 4:2:0 are unsupported,
// named as such with what is supported; broken headers are malformed.
TEST(Y4mHeader, UnsupportedIsNotMalformed) {
  const struct {
    const char* parameters;
    bool unsupported;
    const char* message;
  } cases[] = {
      {"W320 H240 C422", true, "colour space 'C422' is not supported"},
      {"W320 H240 C444", true, "colour space 'C444' is not supported"},
      {"W320 H240 Cmono", true, "colour space 'Cmono' is not supported"},
      {"W320 H240 C420p10", true, "colour space 'C420p10' is not supported"},
      {"W320 H240 C444alpha", true, "C420jpeg, C420mpeg2, C420paldv, C420 or no C"},
      {"H240", false, "no width"},
      {"W320", false, "no height"},
      {"W320 H240 W320", false, "given twice"},
      {"W0 H240", false, "not a positive number"},
      {"W-3 H240", false, "not a positive number"},
      {"W99999999999 H2", false, "not a positive number"},
      {"W320 H240 F25", false, "not N:D"},
      {"W320 H240 F25:0", false, "not N:D"},
      {"W320 H240 F0:1", false, "not N:D"},
      {"W320 H240 Ix", false, "interlacing"},
      {"W320 H240 w3", false, "is not a parameter"},
  };
  for (const auto& c : cases) {
    try {
      ParseY4mParameters(c.parameters);
      ADD_FAILURE() << "accepted: " << c.parameters;
    } catch (const Y4mUnsupported& error) {
      EXPECT_TRUE(c.unsupported) << c.parameters << " called unsupported: " << error.what();
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    } catch (const ToolError& error) {
      EXPECT_FALSE(c.unsupported) << c.parameters << " called malformed: " << error.what();
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
  }
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
