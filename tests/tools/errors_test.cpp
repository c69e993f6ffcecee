// Every bad input gets one line naming the problem on standard error, a
// non-zero exit status, and leaves no output file (finished or partial).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include "tool_runner.h"
#include "tools/pellix_convert/test_pattern.h"

namespace pellix::testing {
namespace {

std::string Frame(PixelFormat format, int32_t width, int32_t height) {
  const std::vector<uint8_t> frame = convert::MakePatternFrame(format, width, height, 0);
  return std::string(frame.begin(), frame.end());
}

const std::string kY4mHeader = "YUV4MPEG2 W64 H48 F25:1\n";

struct ErrorCase {
  const char* name;
  std::map<std::string, std::string> files;  // written before the run
  std::vector<std::string> args;
  int status;
  std::string message;
  std::optional<std::string> pipe = std::nullopt;  // standard input through a pipe
  std::vector<std::string> environment = {};
};

std::vector<ErrorCase> Cases() {
  const std::string i420 = Frame(PixelFormat::I420, 64, 48);
  const std::string bgraOdd = Frame(PixelFormat::BGRA, 63, 48);
  const std::string refusing = std::string("--plugin=") + PELLIX_REFUSING_PLUGIN_PATH;
  const std::vector<std::string> convert = {"in.i420", "out.bgra", "-s", "64x48"};
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = convert;
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  };
  const std::map<std::string, std::string> one = {{"in.i420", i420}};
  return {
      {"UnknownInputFormat", {{"in.raw", i420}}, {"in.raw", "out.bgra", "-f", "XYZ", "-s", "64x48"}, 2,
       "unknown input format 'XYZ'"},
      {"UnknownOutputFormat", one, {"in.i420", "out.raw", "-t", "rgb24", "-s", "64x48"}, 2,
       "unknown output format 'rgb24'"},
      {"FormatNotGuessable", {{"in.raw", i420}}, {"in.raw", "out.bgra", "-s", "64x48"}, 2, "input format unknown"},
      {"MissingSize", one, {"in.i420", "out.bgra"}, 2, "missing frame size: give --size WxH"},
      {"MalformedSize", one, {"in.i420", "out.bgra", "-s", "64by48"}, 2, "malformed size '64by48'"},
      {"OddPlanarSize", one, {"in.i420", "out.bgra", "-s", "63x48"}, 2,
       "I420 needs an even width and height, not 63x48"},
      {"SizeTooLarge", one, {"in.i420", "out.bgra", "-s", "65536x65536"}, 2, "too large"},
      {"LeftOverBytesInFile", {{"in.i420", i420 + "12345"}}, convert, 1,
       "not a whole number of 4608-byte frames: 5 bytes left over after 1 frame"},
      {"LeftOverBytesInPipe", {}, {"-", "out.bgra", "-f", "I420", "-s", "64x48"}, 1,
       "5 bytes left over after 2 frames", i420 + i420 + "12345"},
      {"EmptyInput", {{"in.i420", ""}}, convert, 1, "holds no frames"},
      {"Y4mHeaderTruncated", {{"in.y4m", "YUV4MPEG2 W64 H48"}}, {"in.y4m", "out.bgra"}, 1,
       "truncated YUV4MPEG2 header"},
      {"Y4mHeaderMalformed", {{"in.y4m", "YUV4MPEG2 W64 Hx\n"}}, {"in.y4m", "out.bgra"}, 1,
       "malformed YUV4MPEG2 header in input 'in.y4m': height 'Hx' is not a positive number"},
      {"Y4mMagicWrong", {{"in.y4m", "YUV4MPEG W64 H48\n"}}, {"in.y4m", "out.bgra"}, 1,
       "is not a YUV4MPEG2 stream"},
      {"Y4mColourSpace444", {{"in.y4m", "YUV4MPEG2 W64 H48 C444\nFRAME\n"}}, {"in.y4m", "out.bgra"}, 1,
       "unsupported YUV4MPEG2 stream in input 'in.y4m': colour space 'C444' is not supported: pellix-convert "
       "reads 8-bit 4:2:0 streams only (C420jpeg, C420mpeg2, C420paldv, C420 or no C)"},
      {"Y4mColourSpace422", {{"in.y4m", "YUV4MPEG2 W64 H48 C422\n"}}, {"in.y4m", "out.bgra"}, 1,
       "unsupported YUV4MPEG2 stream in input 'in.y4m': colour space 'C422'"},
      {"Y4mColourSpaceMono", {}, {"-", "out.yuy2"}, 1,
       "unsupported YUV4MPEG2 stream in input standard input: colour space 'Cmono'", "YUV4MPEG2 W64 H48 Cmono\n"},
      {"Y4mColourSpace10Bit", {{"in.y4m", "YUV4MPEG2 W64 H48 C420p10 XYSCSS=420P10\n"}}, {"in.y4m", "out.bgra"}, 1,
       "unsupported YUV4MPEG2 stream in input 'in.y4m': colour space 'C420p10'"},
      {"Y4mOddSize", {{"in.y4m", "YUV4MPEG2 W63 H48\n"}}, {"in.y4m", "out.bgra"}, 1,
       "I420 needs an even width and height, not 63x48"},
      {"Y4mMarkerTruncated", {{"in.y4m", kY4mHeader + "FRAME\n" + i420 + "FRA"}}, {"in.y4m", "out.bgra"}, 1,
       "truncated YUV4MPEG2 frame marker before frame 1"},
      {"Y4mMarkerMalformed", {{"in.y4m", kY4mHeader + "FRAMX\n" + i420}}, {"in.y4m", "out.bgra"}, 1,
       "malformed YUV4MPEG2 frame marker before frame 0"},
      {"Y4mMarkerGlued", {{"in.y4m", kY4mHeader + "FRAMES\n" + i420}}, {"in.y4m", "out.bgra"}, 1,
       "malformed YUV4MPEG2 frame marker before frame 0"},
      {"Y4mFrameTruncated", {}, {"-", "out.bgra", "-f", "y4m"}, 1,
       "truncated YUV4MPEG2 frame 1 in input standard input: 100 of 4608 bytes",
       kY4mHeader + "FRAME\n" + i420 + "FRAME\n" + i420.substr(0, 100)},
      {"Y4mHeaderWithCrLf", {}, {"-", "out.bgra"}, 1, "the line ends in CR LF", "YUV4MPEG2 W64 H48 F25:1\r\n"},
      {"SeekWithoutRate", {}, {"-", "out.bgra", "-ss", "1"}, 2, "-ss needs the frame rate of input standard input",
       "YUV4MPEG2 W64 H48 F0:0\nFRAME\n" + i420},
      {"InputMissing", {}, {"nosuch.i420", "out.bgra", "-s", "64x48"}, 1,
       "cannot open input 'nosuch.i420': No such file or directory"},
      {"InputIsAFolder", {}, {".", "out.bgra", "-f", "I420", "-s", "64x48"}, 1, "input '.' is a folder"},
      {"OutputFolderMissing", one, {"in.i420", "nowhere/out.bgra", "-s", "64x48"}, 1,
       "cannot write output 'nowhere/out.bgra'"},
      {"OutputIsAFolder", one, {"in.i420", ".", "-t", "BGRA", "-s", "64x48"}, 1, "output '.' is a folder"},
      {"Y4mOutputNotI420", one, with({"-t", "YV12", "-o", "x.y4m"}), 2, "output given twice"},
      {"Y4mOutputFormat", one, {"in.i420", "x.y4m", "-t", "YV12", "-s", "64x48"}, 2,
       "YUV4MPEG2 output carries I420 only"},
      {"FrameWithoutPng", one, with({"--frame", "1"}), 2, "--frame applies to PNG output only"},
      {"PngFrameMissing", one, {"in.i420", "out.png", "-s", "64x48", "--frame", "5"}, 1,
       "has 1 frame: there is no frame 5"},
      // Refused up front, like odd 4:2:0 sizes: an odd width, or an odd height.
      {"OddWidthBgraToYuy2", {{"in.bgra", bgraOdd}}, {"in.bgra", "out.yuy2", "-s", "63x48"}, 2,
       "the plug-in converts BGRA to YUY2 only at an even width and height, not 63x48"},
      {"OddHeightBgraToUyvy", {{"in.bgra", bgraOdd}}, {"in.bgra", "out.uyvy", "-s", "48x63"}, 2,
       "the plug-in converts BGRA to UYVY only at an even width and height, not 48x63"},
      {"RateForRawOutput", one, with({"-r", "25"}), 2, "-r applies to YUV4MPEG2 output only"},
      {"StartWithoutInput", {}, {"--start", "2"}, 2, "--start needs an input"},
      {"RepeatedOutput", one, with({"-o", "again.bgra"}), 2, "output given twice"},
      {"NotAPlugin", one, with({"--plugin", "in.i420"}), 1, "cannot load plug-in ./in.i420"},
      {"InputPortRefused", one, with({refusing}), 1, "plug-in refused input port format \"I420\"", std::nullopt,
       {"PELLIX_TEST_REFUSE=input-port"}},
      {"OutputPortRefused", one, with({refusing}), 1, "plug-in refused output port format \"BGRA\"", std::nullopt,
       {"PELLIX_TEST_REFUSE=output-port"}},
      {"ConnectRefused", one, with({refusing}), 1, "output Connect refused: I420 -> BGRA", std::nullopt,
       {"PELLIX_TEST_REFUSE=connect"}},
      {"PullRefused", one, with({refusing}), 1, "the plug-in refused frame 0 (64x48 I420 to BGRA)"},
  };
}

void PrintTo(const ErrorCase& c, std::ostream* out) { *out << c.name; }

class BadInput : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(BadInput, OneLineNonZeroExitNoOutput) {
  const ErrorCase& c = GetParam();
  ScratchFolder folder;
  for (const auto& [name, bytes] : c.files) WriteFile(folder / name, bytes);
  const ToolRun run = RunTool(c.args, folder.path(), Piped(c.pipe), c.environment);
  EXPECT_EQ(run.status, c.status) << run.err;
  EXPECT_EQ(run.err.rfind("pellix-convert: ", 0), 0u) << run.err;
  EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  std::vector<std::string> inputs;
  for (const auto& entry : c.files) inputs.push_back(entry.first);
  EXPECT_EQ(FolderEntries(folder.path()), inputs) << "an output or a temporary file was left behind";
}

INSTANTIATE_TEST_SUITE_P(Tool, BadInput, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

TEST(ExistingOutput, KeptWithoutOverwriteAndOnFailure) {
  ScratchFolder folder;
  const std::string i420 = Frame(PixelFormat::I420, 64, 48);
  WriteFile(folder / "in.i420", i420);
  WriteFile(folder / "out.bgra", "old");
  ToolRun run = RunTool({"in.i420", "out.bgra", "-s", "64x48"}, folder.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("output 'out.bgra' exists (give -y to overwrite it)"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(folder / "out.bgra"), "old");

  // A failing run with -y leaves the old output as it was.
  WriteFile(folder / "bad.i420", i420 + "x");
  run = RunTool({"bad.i420", "out.bgra", "-s", "64x48", "-y"}, folder.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ReadFile(folder / "out.bgra"), "old");

  run = RunTool({"in.i420", "out.bgra", "-s", "64x48", "-y"}, folder.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(folder / "out.bgra").size(), 64u * 48 * 4);
  struct stat info {};
  ASSERT_EQ(stat((folder / "out.bgra").c_str(), &info), 0);
  EXPECT_NE(info.st_mode & 0044, 0u) << "a temporary file's private permissions leaked into the output";
  EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"bad.i420", "in.i420", "out.bgra"}));
}

TEST(ExistingOutput, NumberedImagesAreNotOverwritten) {
  ScratchFolder folder;
  WriteFile(folder / "in.bgra", Frame(PixelFormat::BGRA, 64, 48));
  WriteFile(folder / "f-000000.png", "old");
  const ToolRun run = RunTool({"in.bgra", "f.png", "-s", "64x48", "--every-frame"}, folder.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("'f-000000.png' exists"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(folder / "f-000000.png"), "old");
}

}  // namespace
}  // namespace pellix::testing
