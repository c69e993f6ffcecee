// pellix-convert beside FFmpeg: the same yuv420p frames converted to bgra by
// both (BT.601, video range in, full range out), YUV4MPEG2 streams exchanged
// in both directions with their description kept, and FFmpeg's spellings
// (pixel formats, sizes, rates) meaning what they mean to FFmpeg.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "formats/format_names.h"
#include "tool_runner.h"
#include "tools/pellix_convert/size_and_rate.h"

namespace pellix::testing {
namespace {

constexpr const char* kSize = "320x240";

struct Difference {
  int max = 0;
  double mean = 0;
  bool alphaOpaque = true;
};

Difference Compare(const std::string& a, const std::string& b) {
  Difference d;
  uint64_t sum = 0;
  uint64_t samples = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (i % 4 == 3) {
      d.alphaOpaque = d.alphaOpaque && static_cast<uint8_t>(a[i]) == 255 && static_cast<uint8_t>(b[i]) == 255;
      continue;
    }
    const int delta = std::abs(static_cast<uint8_t>(a[i]) - static_cast<uint8_t>(b[i]));
    d.max = std::max(d.max, delta);
    sum += static_cast<uint64_t>(delta);
    ++samples;
  }
  d.mean = samples ? static_cast<double>(sum) / static_cast<double>(samples) : 0;
  return d;
}

class Ffmpeg : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ProgramAvailable("ffmpeg")) {
      GTEST_SKIP() << "ffmpeg is not installed (scripts/run-tests.sh installs Debian's ffmpeg)";
    }
    ASSERT_TRUE(RunProgram({"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
                            std::string("testsrc2=size=") + kSize + ":rate=25", "-frames:v", "3", "-pix_fmt", "yuv420p",
                            "-f", "rawvideo", folder_ / "in.yuv"}));
  }

  // FFmpeg's yuv420p -> bgra with the BT.601 matrix, video range in, full
  // range out. Nearest chroma and exact rounding (`accurate`) or its default
  // fast path.
  std::string FfmpegBgra(bool accurate) {
    const std::string out = folder_ / (accurate ? "ff-accurate.bgra" : "ff-default.bgra");
    std::vector<std::string> args = {"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt",
                                     "yuv420p", "-s", kSize, "-i", folder_ / "in.yuv"};
    if (accurate) args.insert(args.end(), {"-sws_flags", "neighbor+accurate_rnd+full_chroma_int"});
    args.insert(args.end(), {"-vf", "scale=in_range=tv:out_range=pc:in_color_matrix=bt601", "-pix_fmt", "bgra", "-f",
                             "rawvideo", out});
    EXPECT_TRUE(RunProgram(args));
    return ReadFile(out);
  }

  ScratchFolder folder_;
};

TEST_F(Ffmpeg, Yuv420pToBgraAgreesWithinThreeSteps) {
  const ToolRun run = RunTool({"in.yuv", "px.bgra", "-f", "yuv420p", "-t", "bgra", "-s", kSize}, folder_.path());
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string ours = ReadFile(folder_ / "px.bgra");
  ASSERT_EQ(ours.size(), 3u * 320 * 240 * 4);
  const std::string accurate = FfmpegBgra(true);
  const std::string fast = FfmpegBgra(false);
  ASSERT_EQ(accurate.size(), ours.size());
  ASSERT_EQ(fast.size(), ours.size());

  const Difference a = Compare(ours, accurate);
  const Difference f = Compare(ours, fast);
  std::printf("pellix-convert vs FFmpeg (neighbor+accurate_rnd+full_chroma_int): max %d, mean %.4f\n", a.max, a.mean);
  std::printf("pellix-convert vs FFmpeg (default flags): max %d, mean %.4f\n", f.max, f.mean);
  RecordProperty("max_difference", a.max);
  RecordProperty("mean_difference_x10000", static_cast<int>(a.mean * 10000));
  EXPECT_LE(a.max, 3);
  EXPECT_TRUE(a.alphaOpaque);
}

TEST_F(Ffmpeg, ExchangesYuv4mpegStreams) {
  ASSERT_TRUE(RunProgram({"ffmpeg", "-nostdin", "-v", "error", "-f", "rawvideo", "-pix_fmt", "yuv420p", "-s", kSize,
                          "-i", folder_ / "in.yuv", "-f", "yuv4mpegpipe", folder_ / "ff.y4m"}));
  // FFmpeg's header (with its X parameters) is read; the frames come out unchanged.
  ToolRun run = RunTool({"ff.y4m", "back.i420"}, folder_.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(folder_ / "back.i420"), ReadFile(folder_ / "in.yuv"));

  // Our stream is read by FFmpeg.
  run = RunTool({"in.yuv", "ours.y4m", "-f", "yuv420p", "-s", kSize}, folder_.path());
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_TRUE(RunProgram({"ffmpeg", "-nostdin", "-v", "error", "-i", folder_ / "ours.y4m", "-f", "rawvideo",
                          "-pix_fmt", "yuv420p", folder_ / "ff-back.yuv"}));
  EXPECT_EQ(ReadFile(folder_ / "ff-back.yuv"), ReadFile(folder_ / "in.yuv"));
}

// A stream FFmpeg wrote with a chroma siting or a full range passes through
// pellix-convert unchanged, header included; the full-range one is refused
// for BGRA.
TEST_F(Ffmpeg, KeepsTheDescriptionOfItsStreams) {
  const struct {
    const char* name;
    std::vector<std::string> flags;
    const char* tag;
  } cases[] = {
      {"Mpeg2Siting", {"-pix_fmt", "yuv420p", "-chroma_sample_location", "left"}, "C420mpeg2"},
      {"PalDvSiting", {"-pix_fmt", "yuv420p", "-chroma_sample_location", "topleft"}, "C420paldv"},
      {"FullRange", {"-pix_fmt", "yuvj420p"}, "XCOLORRANGE=FULL"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "yuv420p",
                                     "-s", kSize, "-i", folder_ / "in.yuv", "-frames:v", "2"};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    args.insert(args.end(), {"-f", "yuv4mpegpipe", folder_ / "ff.y4m"});
    ASSERT_TRUE(RunProgram(args));
    const std::string stream = ReadFile(folder_ / "ff.y4m");
    ASSERT_NE(stream.substr(0, stream.find('\n')).find(c.tag), std::string::npos) << stream.substr(0, 80);
    const ToolRun run = RunTool({"ff.y4m", "-", "-t", "y4m"}, folder_.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out == stream) << run.out.substr(0, run.out.find('\n'));
    const ToolRun bgra = RunTool({"ff.y4m", "-", "-t", "bgra"}, folder_.path());
    EXPECT_EQ(bgra.status, std::string(c.tag) == "XCOLORRANGE=FULL" ? 1 : 0) << bgra.err;
  }
}

// FFmpeg's names as FFmpeg itself reads them; no frames needed.
class FfmpegNames : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ProgramAvailable("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
  }
  // What ffmpeg prints to standard error for `arguments` (it may fail).
  std::string FfmpegSays(const std::string& arguments) {
    const std::string out = folder_ / "ffmpeg.txt";
    RunProgram({"sh", "-c", "ffmpeg -hide_banner " + arguments + " > '" + out + "' 2>&1"});
    return ReadFile(out);
  }
  ScratchFolder folder_;
};

// Our FFmpeg pixel-format names are FFmpeg's, with the same bits per pixel.
TEST_F(FfmpegNames, PixelFormatNamesAreFfmpegs) {
  const std::string listing = FfmpegSays("-pix_fmts");
  for (PixelFormat format : kAllFormats) {
    const char* name = FfmpegPixelFormatName(format);
    if (name == nullptr) continue;
    // Lines read "FLAGS NAME NB_COMPONENTS BITS_PER_PIXEL ...".
    const std::string needle = std::string(" ") + name + " ";
    const size_t at = listing.find(needle);
    ASSERT_NE(at, std::string::npos) << name;
    std::istringstream line(listing.substr(at + needle.size()));
    int components = 0;
    int bits = 0;
    line >> components >> bits;
    EXPECT_EQ(bits, BitsPerPixel(format)) << name;
  }
}

// Every size name we accept is the size FFmpeg gives it: one ffmpeg run
// opens a source of each size and describes them in order.
TEST_F(FfmpegNames, SizeNamesAreFfmpegs) {
  const auto names = convert::FrameSizeNames();
  std::string inputs;
  for (const auto& named : names) inputs += " -f lavfi -i color=s=" + named.first;
  std::istringstream lines(FfmpegSays(inputs));
  size_t index = 0;
  for (std::string line; std::getline(lines, line) && index < names.size();) {
    const std::string stream = "Stream #" + std::to_string(index) + ":0: Video:";
    if (line.find(stream) == std::string::npos) continue;
    const auto& [name, size] = names[index++];
    const std::string expected = " " + std::to_string(size.width) + "x" + std::to_string(size.height) + " ";
    EXPECT_NE(line.find(expected), std::string::npos) << name << ": " << line;
  }
  EXPECT_EQ(index, names.size()) << "ffmpeg described fewer sources than names";
}

// A rate given with -r is the rate FFmpeg writes for the same spelling.
TEST_F(Ffmpeg, RatesAreFfmpegs) {
  for (const char* rate : {"30000/1001", "29.97", "23.976", "ntsc-film", "12.5"}) {
    SCOPED_TRACE(rate);
    ASSERT_TRUE(RunProgram({"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "yuv420p", "-s",
                            kSize, "-i", folder_ / "in.yuv", "-frames:v", "1", "-r", rate, "-f", "yuv4mpegpipe",
                            folder_ / "ff.y4m"}));
    const std::string theirs = ReadFile(folder_ / "ff.y4m");
    const ToolRun ours = RunTool(
        {"in.yuv", "-", "-f", "yuv420p", "-s", kSize, "--frames", "1", "-t", "y4m", "-r", rate}, folder_.path());
    ASSERT_EQ(ours.status, 0) << ours.err;
    const auto rateOf = [](const std::string& stream) {
      const size_t f = stream.find(" F");
      return stream.substr(f, stream.find(' ', f + 1) - f);
    };
    EXPECT_EQ(rateOf(ours.out), rateOf(theirs));
  }
}

}  // namespace
}  // namespace pellix::testing
