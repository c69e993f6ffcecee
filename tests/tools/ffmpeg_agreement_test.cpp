// pellix-convert beside FFmpeg: the same yuv420p frames converted to bgra by
// both (BT.601, video range in, full range out), and YUV4MPEG2 streams
// exchanged in both directions.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tool_runner.h"

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

}  // namespace
}  // namespace pellix::testing
