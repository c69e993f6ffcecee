// pellix-convert on YUV4MPEG2 streams and parts of inputs: the stream's
// description kept where the samples pass through, full-range input refused
// where BGRA takes part, YUV4MPEG2 recognised by its first bytes, and
// --start / --frames on every kind of input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tool_runner.h"
#include "tools/pellix_convert/frame_files.h"
#include "tools/pellix_convert/test_pattern.h"

namespace pellix::testing {
namespace {

constexpr int32_t kWidth = 16;
constexpr int32_t kHeight = 8;
constexpr int kFrames = 5;

std::string Frame(PixelFormat format, int index) {
  const std::vector<uint8_t> frame = convert::MakePatternFrame(format, kWidth, kHeight, index);
  return std::string(frame.begin(), frame.end());
}

// Frames first .. first + count - 1 of the pattern, back to back.
std::string Frames(PixelFormat format, int first, int count) {
  std::string bytes;
  for (int i = first; i < first + count; ++i) bytes += Frame(format, i);
  return bytes;
}

std::string Y4mStream(const std::string& header, int first = 0, int count = kFrames) {
  std::string stream = header + "\n";
  for (int i = first; i < first + count; ++i) stream += "FRAME\n" + Frame(PixelFormat::I420, i);
  return stream;
}

const std::string kSize = std::to_string(kWidth) + "x" + std::to_string(kHeight);
const std::string kHeader = "YUV4MPEG2 W" + std::to_string(kWidth) + " H" + std::to_string(kHeight);

// YUV4MPEG2 in and out: the samples pass through, and so does everything the
// header says about them, unless -r gives another rate.
TEST(Y4mStream, DescriptionKeptWhereSamplesPassThrough) {
  const struct {
    const char* name;
    std::string in;
    std::vector<std::string> extra;
    std::string out;
  } cases[] = {
      {"Mpeg2Siting", kHeader + " F25:1 Ip A1:1 C420mpeg2 XYSCSS=420MPEG2", {},
       kHeader + " F25:1 Ip A1:1 C420mpeg2 XYSCSS=420MPEG2"},
      {"PalDvSiting", kHeader + " F25:1 Ib A59:54 C420paldv", {}, kHeader + " F25:1 Ib A59:54 C420paldv"},
      {"FullRangeTag", kHeader + " F25:1 C420jpeg XYSCSS=420JPEG XCOLORRANGE=FULL", {},
       kHeader + " F25:1 Ip A1:1 C420jpeg XYSCSS=420JPEG XCOLORRANGE=FULL"},
      {"UnknownRate", kHeader + " F0:0 A0:0", {}, kHeader + " F0:0 Ip A0:0 C420jpeg"},
      {"RateGiven", kHeader + " F0:0 C420mpeg2", {"-r", "30000/1001"}, kHeader + " F30000:1001 Ip A1:1 C420mpeg2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder folder;
    std::vector<std::string> args = {"-", "-", "-t", "y4m"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const ToolRun run = RunTool(args, folder.path(), Piped(Y4mStream(c.in)));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), c.out);
    EXPECT_TRUE(run.out == Y4mStream(c.out)) << "the frames pass unchanged";
  }
}

TEST(Y4mStream, RawInputGetsDefaultsOrTheGivenRate) {
  ScratchFolder folder;
  WriteFile(folder / "in.yuy2", Frames(PixelFormat::YUY2, 0, 2));
  for (const auto& [rate, header] :
       std::vector<std::pair<std::string, std::string>>{{"", " F25:1 Ip A1:1 C420jpeg"},
                                                        {"29.97", " F2997:100 Ip A1:1 C420jpeg"},
                                                        {"ntsc", " F30000:1001 Ip A1:1 C420jpeg"}}) {
    std::vector<std::string> args = {"in.yuy2", "-", "-s", kSize, "-t", "y4m"};
    if (!rate.empty()) args.insert(args.end(), {"-r", rate});
    const ToolRun run = RunTool(args, folder.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), kHeader + header) << rate;
  }
}

// Full-range samples read as video range would be off by up to 20 levels in
// BGRA: refused with the reason and the remedy. Repacking keeps the samples
// as they are, so it goes ahead.
TEST(Y4mStream, FullRangeRefusedWhereBgraTakesPart) {
  const std::string stream = Y4mStream(kHeader + " F25:1 C420jpeg XYSCSS=420JPEG XCOLORRANGE=FULL", 0, 2);
  const struct {
    const char* output;
    std::vector<std::string> extra;
    bool refused;
  } cases[] = {
      {"out.bgra", {}, true},
      {"shot.png", {}, true},
      {"shot.png", {"-t", "YUY2"}, true},  // the image is made through BGRA
      {"out.yuy2", {}, false},
      {"out.yv12", {}, false},
      {"out.uyvy", {}, false},
      {"out.y4m", {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    ScratchFolder folder;
    WriteFile(folder / "in.y4m", stream);
    std::vector<std::string> args = {"in.y4m", c.output};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const ToolRun run = RunTool(args, folder.path());
    if (c.refused) {
      EXPECT_EQ(run.status, 1);
      EXPECT_NE(run.err.find("is full range (XCOLORRANGE=FULL"), std::string::npos) << run.err;
      EXPECT_NE(run.err.find("video range only"), std::string::npos) << run.err;
      EXPECT_NE(run.err.find("convert the range first"), std::string::npos) << run.err;
      EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{"in.y4m"});
    } else {
      EXPECT_EQ(run.status, 0) << run.err;
    }
  }
  // Limited range, said or not, is what the plug-in expects.
  ScratchFolder folder;
  WriteFile(folder / "in.y4m", Y4mStream(kHeader + " XCOLORRANGE=LIMITED", 0, 1));
  EXPECT_EQ(RunTool({"in.y4m", "out.bgra"}, folder.path()).status, 0);
}

// Without -f, a YUV4MPEG2 stream is recognised by its first bytes, on a
// pipe and in a file whose name says nothing; anything else still needs -f.
TEST(Y4mStream, RecognisedByItsFirstBytes) {
  const std::string stream = Y4mStream(kHeader + " F25:1", 0, 2);
  ScratchFolder folder;
  WriteFile(folder / "clip.yuv", stream);
  WriteFile(folder / "frames.yuv", Frames(PixelFormat::I420, 0, 2));
  const std::string expected = Frames(PixelFormat::I420, 0, 2);

  ToolRun run = RunTool({"-", "-", "-t", "I420"}, folder.path(), Piped(stream));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out == expected);
  run = RunTool({"clip.yuv", "-", "-t", "I420"}, folder.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out == expected);
  // The stream arriving a few bytes at a time is recognised as well.
  run = RunTool({"-", "-", "-t", "I420"}, folder.path(), Piped(stream.substr(0, 3) + stream.substr(3)));
  ASSERT_EQ(run.status, 0) << run.err;

  run = RunTool({"frames.yuv", "-", "-t", "I420", "-s", kSize}, folder.path());
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("input format unknown: give -f FORMAT"), std::string::npos) << run.err;
  run = RunTool({"-", "-", "-t", "I420", "-s", kSize}, folder.path(), Piped("YUV4MPEG"));
  EXPECT_EQ(run.status, 2) << "too short to be YUV4MPEG2: " << run.err;
}

// --start and --frames (also -frames:v) take part of any input: raw frames
// from a file or a pipe, and YUV4MPEG2; PNG frames count from the start.
TEST(Parts, StartAndFramesOnEveryInput) {
  ScratchFolder folder;
  WriteFile(folder / "in.i420", Frames(PixelFormat::I420, 0, kFrames));
  WriteFile(folder / "in.y4m", Y4mStream(kHeader, 0, kFrames));
  const struct {
    const char* name;
    std::vector<std::string> args;
    bool piped;
    int first;
    int count;
  } cases[] = {
      {"FileStart", {"in.i420", "-", "-s", kSize, "--start", "2"}, false, 2, 3},
      {"FileStartAndFrames", {"in.i420", "-", "-s", kSize, "--start", "1", "--frames", "2"}, false, 1, 2},
      {"FileFramesColonV", {"in.i420", "-", "-s", kSize, "-frames:v", "4"}, false, 0, 4},
      {"FileFramesBeyondTheEnd", {"in.i420", "-", "-s", kSize, "--frames", "50"}, false, 0, kFrames},
      {"PipeStartAndFrames", {"-", "-", "-f", "yuv420p", "-s", kSize, "-start", "3", "-vframes", "1"}, true, 3, 1},
      {"Y4mStartAndFrames", {"in.y4m", "-", "--start", "2", "--frames", "2"}, false, 2, 2},
      {"LastFrameOnly", {"in.y4m", "-", "--start", "4"}, false, 4, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-t", "I420"});
    const ToolRun run = c.piped ? RunTool(args, folder.path(), Piped(Frames(PixelFormat::I420, 0, kFrames)))
                                : RunTool(args, folder.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out == Frames(PixelFormat::I420, c.first, c.count))
        << run.out.size() / Frame(PixelFormat::I420, 0).size() << " frames";
  }
  // A chosen image counts from the first frame converted.
  const ToolRun image = RunTool({"in.y4m", "shot.png", "--start", "3", "--frame", "1"}, folder.path());
  ASSERT_EQ(image.status, 0) << image.err;
  const auto png = DecodePng(folder / "shot.png");
  ASSERT_TRUE(png);
  const convert::Rgb expected = convert::PatternColor(0, 0, kWidth, kHeight, 4);
  EXPECT_NEAR(png->rgb[0], expected.r, 3);
}

TEST(Parts, StartBeyondTheInputIsRefused) {
  ScratchFolder folder;
  WriteFile(folder / "in.i420", Frames(PixelFormat::I420, 0, kFrames));
  WriteFile(folder / "in.y4m", Y4mStream(kHeader, 0, kFrames));
  const std::vector<std::vector<std::string>> runs = {{"in.i420", "out.bgra", "-s", kSize, "--start", "5"},
                                                      {"in.y4m", "out.bgra", "--start", "9"}};
  for (const std::vector<std::string>& args : runs) {
    const ToolRun run = RunTool(args, folder.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("has 5 frames: --start"), std::string::npos) << run.err;
    EXPECT_FALSE(Exists(folder / "out.bgra"));
  }
}

}  // namespace
}  // namespace pellix::testing

namespace pellix::testing {
namespace {

// -ss seeks by time: the first frame at or after it, by the stream's rate
// (the YUV4MPEG2 header's, -r's, or 25 for raw frames).
TEST(Seek, ByTimeAtTheStreamsRate) {
  ScratchFolder folder;
  WriteFile(folder / "in.y4m", Y4mStream(kHeader + " F25:1"));
  WriteFile(folder / "in.i420", Frames(PixelFormat::I420, 0, kFrames));
  const struct {
    std::vector<std::string> args;
    int first;
  } cases[] = {
      {{"in.y4m", "-", "-t", "i420", "-ss", "0.08"}, 2},
      {{"-ss", "0.081", "-i", "in.y4m", "-f", "i420", "-"}, 3},
      {{"in.i420", "-", "-s", kSize, "-t", "i420", "-ss", "0.04"}, 1},
      {{"in.i420", "-", "-s", kSize, "-t", "y4m", "-r", "10", "-ss", "00:00.3"}, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("first frame " + std::to_string(c.first));
    const ToolRun run = RunTool(c.args, folder.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find(Frame(PixelFormat::I420, c.first)) != std::string::npos, true);
    EXPECT_EQ(run.out.find(Frame(PixelFormat::I420, kFrames - 1)) != std::string::npos, true);
    EXPECT_EQ(run.out.find(Frame(PixelFormat::I420, c.first - 1)), std::string::npos);
  }
}

}  // namespace
}  // namespace pellix::testing
