// pellix-convert run as a child process on frames the tests generate: every
// format pair, pipes, YUV4MPEG2 round trips and PNG images.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/format_pairs.h"
#include "tool_runner.h"
#include "tools/pellix_convert/frame_files.h"
#include "tools/pellix_convert/test_pattern.h"

namespace pellix::testing {
namespace {

using convert::FileLayout;
using convert::MakePatternFrame;
using convert::PatternColor;

constexpr int32_t kWidth = 64;
constexpr int32_t kHeight = 48;
constexpr int kFrames = 3;

std::string Frames(PixelFormat format, int32_t width, int32_t height, int count = kFrames) {
  std::string bytes;
  for (int i = 0; i < count; ++i) {
    const std::vector<uint8_t> frame = MakePatternFrame(format, width, height, i);
    bytes.append(frame.begin(), frame.end());
  }
  return bytes;
}

std::string Extension(PixelFormat format) { return std::string(".") + FormatName(format); }

// Largest difference between two byte strings of one format (BGRA alpha skipped).
int MaxDifference(PixelFormat format, const std::string& a, const std::string& b) {
  int largest = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (format == PixelFormat::BGRA && i % 4 == 3) continue;
    largest = std::max(largest, std::abs(static_cast<uint8_t>(a[i]) - static_cast<uint8_t>(b[i])));
  }
  return largest;
}

// FFmpeg's pixel-format names where it has one, so the aliases are used too.
std::string FfmpegOrOwnName(PixelFormat format) {
  switch (format) {
    case PixelFormat::I420: return "yuv420p";
    case PixelFormat::YUY2: return "yuyv422";
    case PixelFormat::UYVY: return "uyvy422";
    case PixelFormat::BGRA: return "bgra";
    default: return FormatName(format);
  }
}

std::string Size(int32_t width, int32_t height) { return std::to_string(width) + "x" + std::to_string(height); }

using Pair = FormatPair;

class EveryPair : public ::testing::TestWithParam<Pair> {};

// The converted frames match the pattern drawn directly in the target format
// (the same colours, rounded once), and converting back restores the source:
// exactly for the plane swap and the byte swap, within 3 otherwise.
TEST_P(EveryPair, ConvertsFilesAndComesBack) {
  const Pair pair = GetParam();
  ScratchFolder folder;
  const std::string source = Frames(pair.from, kWidth, kHeight);
  WriteFile(folder / ("in" + Extension(pair.from)), source);
  const ToolRun there =
      RunTool({"in" + Extension(pair.from), "out" + Extension(pair.to), "-s", Size(kWidth, kHeight)}, folder.path());
  ASSERT_EQ(there.status, 0) << there.err;
  EXPECT_EQ(there.err, "");
  const std::string converted = ReadFile(folder / ("out" + Extension(pair.to)));
  ASSERT_EQ(converted.size(), kFrames * FileLayout(pair.to, kWidth, kHeight).packedBytes());
  EXPECT_LE(MaxDifference(pair.to, converted, Frames(pair.to, kWidth, kHeight)), 3);

  const ToolRun back = RunTool({"out" + Extension(pair.to), "back" + Extension(pair.from), "-s", Size(kWidth, kHeight)},
                               folder.path());
  ASSERT_EQ(back.status, 0) << back.err;
  const std::string returned = ReadFile(folder / ("back" + Extension(pair.from)));
  ASSERT_EQ(returned.size(), source.size());
  const bool lossless = (IsPlanar(pair.from) && IsPlanar(pair.to)) ||
                        (!IsPlanar(pair.from) && !IsPlanar(pair.to) && pair.from != PixelFormat::BGRA &&
                         pair.to != PixelFormat::BGRA);
  EXPECT_LE(MaxDifference(pair.from, returned, source), lossless ? 0 : 3);
}

// Standard input to standard output gives the same bytes as files, also when
// the input arrives through a pipe in pieces.
TEST_P(EveryPair, PipesLikeFiles) {
  const Pair pair = GetParam();
  ScratchFolder folder;
  const std::string source = Frames(pair.from, kWidth, kHeight);
  WriteFile(folder / "in.raw", source);
  const std::vector<std::string> args = {"-", "-", "-f", FfmpegOrOwnName(pair.from), "-t", FormatName(pair.to),
                                         "-s", Size(kWidth, kHeight)};
  const ToolRun piped = RunTool(args, folder.path(), Piped(source));
  ASSERT_EQ(piped.status, 0) << piped.err;
  const ToolRun fromFile = RunTool({"in.raw", "out.raw", "-f", FormatName(pair.from), "-t", FormatName(pair.to), "-s",
                                    Size(kWidth, kHeight)},
                                   folder.path());
  ASSERT_EQ(fromFile.status, 0) << fromFile.err;
  EXPECT_EQ(piped.out, ReadFile(folder / "out.raw"));
}

INSTANTIATE_TEST_SUITE_P(Tool, EveryPair, ::testing::ValuesIn(kAllPairs),
                         [](const ::testing::TestParamInfo<Pair>& info) { return PairTestName(info); });

TEST(OddSizes, PackedFormatsConvertWholeRows) {
  ScratchFolder folder;
  WriteFile(folder / "in.yuy2", Frames(PixelFormat::YUY2, 63, 47));
  for (const char* out : {"out.bgra", "out.uyvy"}) {
    const ToolRun run = RunTool({"in.yuy2", out, "-s", "63x47"}, folder.path());
    ASSERT_EQ(run.status, 0) << run.err;
  }
  EXPECT_LE(MaxDifference(PixelFormat::BGRA, ReadFile(folder / "out.bgra"), Frames(PixelFormat::BGRA, 63, 47)), 3);
  EXPECT_EQ(ReadFile(folder / "out.uyvy"), Frames(PixelFormat::UYVY, 63, 47));
}

TEST(Y4m, WritesHeaderAndFramesAndReadsThemBack) {
  ScratchFolder folder;
  const std::string i420 = Frames(PixelFormat::I420, kWidth, kHeight);
  WriteFile(folder / "in.yv12", Frames(PixelFormat::YV12, kWidth, kHeight));
  ToolRun run = RunTool({"in.yv12", "clip.y4m", "-s", Size(kWidth, kHeight)}, folder.path());
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string frameMarker = "FRAME\n";
  std::string expected = "YUV4MPEG2 W64 H48 F25:1 Ip A1:1 C420jpeg\n";
  const size_t frameBytes = i420.size() / kFrames;
  for (int i = 0; i < kFrames; ++i) expected += frameMarker + i420.substr(i * frameBytes, frameBytes);
  EXPECT_EQ(ReadFile(folder / "clip.y4m"), expected);

  run = RunTool({"clip.y4m", "back.i420"}, folder.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(folder / "back.i420"), i420);

  // Frame parameters and an interlaced header pass; rate, aspect, siting
  // and extensions carry over to the output.
  const std::string header = "YUV4MPEG2 W64 H48 F30000:1001 It A10:11 C420mpeg2 XCOLORRANGE=LIMITED\n";
  run = RunTool({"-", "-", "-f", "y4m", "-t", "y4m"}, folder.path(),
                Piped(header + "FRAME Ixyz\n" + i420.substr(0, frameBytes)));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out == header + "FRAME\n" + i420.substr(0, frameBytes)) << run.out.substr(0, header.size());
}

TEST(Png, OneChosenFrameDecodesToThePattern) {
  ScratchFolder folder;
  WriteFile(folder / "in.uyvy", Frames(PixelFormat::UYVY, kWidth, kHeight));
  // UYVY -> I420 through the plug-in, then I420 -> BGRA for the image.
  const ToolRun run = RunTool({"in.uyvy", "shot.png", "-s", Size(kWidth, kHeight), "-t", "I420", "--frame", "2"},
                              folder.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"in.uyvy", "shot.png"}));
  const auto png = DecodePng(folder / "shot.png");
  ASSERT_TRUE(png);
  EXPECT_EQ(png->width, 64u);
  EXPECT_EQ(png->height, 48u);
  EXPECT_EQ(png->storedFormat, static_cast<uint32_t>(PNG_FORMAT_RGB));
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {20, 10}, {63, 47}, {40, 33}}) {
    const convert::Rgb expected = PatternColor(x, y, kWidth, kHeight, 2);
    const uint8_t* pixel = &png->rgb[3 * (static_cast<size_t>(y) * kWidth + x)];
    EXPECT_NEAR(pixel[0], expected.r, 3) << x << "," << y;
    EXPECT_NEAR(pixel[1], expected.g, 3) << x << "," << y;
    EXPECT_NEAR(pixel[2], expected.b, 3) << x << "," << y;
  }
}

TEST(Png, EveryFrameGetsANumberedImage) {
  ScratchFolder folder;
  WriteFile(folder / "in.bgra", Frames(PixelFormat::BGRA, kWidth, kHeight));
  const ToolRun run = RunTool({"in.bgra", "f.png", "-s", Size(kWidth, kHeight), "--every-frame"}, folder.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(FolderEntries(folder.path()),
            (std::vector<std::string>{"f-000000.png", "f-000001.png", "f-000002.png", "in.bgra"}));
  for (int i = 0; i < kFrames; ++i) {
    const auto png = DecodePng(folder / ("f-00000" + std::to_string(i) + ".png"));
    ASSERT_TRUE(png);
    // BGRA in, BGRA shown: the image holds the input exactly.
    const convert::Rgb expected = PatternColor(31, 17, kWidth, kHeight, i);
    const uint8_t* pixel = &png->rgb[3 * (17 * kWidth + 31)];
    EXPECT_EQ(pixel[0], expected.r);
    EXPECT_EQ(pixel[1], expected.g);
    EXPECT_EQ(pixel[2], expected.b);
  }
}

}  // namespace
}  // namespace pellix::testing
