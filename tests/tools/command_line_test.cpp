// The command line: options by letter, by name with one dash or two as FFmpeg
// spells them, combined flags, refusals (a repeated single-valued option
// among them), frame sizes and frame rates.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tools/pellix_convert/cli_options.h"
#include "tools/pellix_convert/seek_time.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

using Args = std::vector<std::string>;

// Each command line is refused with the usage status and a message that
// contains its text.
void ExpectUsageErrors(const std::vector<std::pair<Args, std::string>>& cases) {
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

TEST(CommandLine, InputAndOutputByOptionOrPosition) {
  const Options a = ParseCommandLine({"-f", "I420", "-i", "in.yuv", "-o", "out.bgra", "--size=64x48"});
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
  EXPECT_EQ(ParseCommandLine({"-version"}).mode, Mode::Version);
  EXPECT_EQ(ParseCommandLine({"-", "-", "-y", "-q"}).input, "-");
  EXPECT_EQ(ParseCommandLine({"--", "-odd-name"}).input, "-odd-name");
  EXPECT_EQ(ParseCommandLine({"-o", "out", "--", "-in"}).input, "-in");
}

// FFmpeg's spellings and short flags run together, each read as meant.
TEST(CommandLine, FfmpegSpellingsAndCombinedFlags) {
  const struct {
    const char* name;
    Args args;
    std::function<bool(const Options&)> holds;
  } cases[] = {
      {"FramesColonV", {"-frames:v", "1", "a", "b"}, [](const Options& o) { return o.frames == 1 && o.from.empty(); }},
      {"FramesTwoDashes", {"--frames", "2", "a", "b"}, [](const Options& o) { return o.frames == 2; }},
      {"FramesEquals", {"--frames=3", "a", "b"}, [](const Options& o) { return o.frames == 3; }},
      {"Vframes", {"-vframes", "4", "a", "b"}, [](const Options& o) { return o.frames == 4; }},
      {"Start", {"--start", "0", "a", "b"}, [](const Options& o) { return o.start == 0; }},
      {"StartOneDash", {"-start", "7", "a", "b"}, [](const Options& o) { return o.start == 7; }},
      {"CombinedQuietOverwrite", {"-qy", "a", "b"}, [](const Options& o) { return o.quiet && o.overwrite; }},
      {"CombinedWithValue", {"-yqfI420", "a", "b"}, [](const Options& o) { return o.overwrite && o.from == "I420"; }},
      {"PixFmtBeforeAndAfterTheInput",
       {"-pix_fmt", "yuv420p", "in.yuv", "-pix_fmt", "bgra", "out.raw"},
       [](const Options& o) { return o.inputPixelFormat == "yuv420p" && o.outputPixelFormat == "bgra"; }},
      {"PixFmtAfterDashI",
       {"-f", "rawvideo", "-i", "in.yuv", "-pix_fmt", "uyvy422", "-o", "out.raw"},
       [](const Options& o) { return o.inputPixelFormat.empty() && o.outputPixelFormat == "uyvy422"; }},
      {"PixFmtBeforeDashI",
       {"-o", "out.raw", "-pix_fmt", "yuyv422", "-i", "in.yuv"},
       [](const Options& o) { return o.inputPixelFormat == "yuyv422" && o.outputPixelFormat.empty(); }},
      {"SizeName",
       {"-s", "hd720", "a", "b"},
       [](const Options& o) { return o.size->width == 1280 && o.size->height == 720; }},
      {"Rate", {"-r", "ntsc", "a", "b"}, [](const Options& o) { return o.rate == "30000:1001"; }},
      {"RateLong", {"--rate=30", "a", "b"}, [](const Options& o) { return o.rate == "30:1"; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Options options;
    ASSERT_NO_THROW(options = ParseCommandLine(c.args));
    EXPECT_TRUE(c.holds(options));
  }
}

TEST(CommandLine, RefusesWithUsageStatus) {
  const std::vector<std::pair<Args, std::string>> cases = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"-bogus"}, "unknown option '-bogus'"},
      {{"-qz"}, "unknown option '-z' in '-qz'"},
      {{"-i"}, "option '-i' needs a value"},
      {{"a", "b", "-frames:v"}, "option '-frames:v' needs a value"},
      {{"-y=1"}, "unknown option '-=' in '-y=1'"},
      {{"--quiet=yes"}, "option '--quiet=yes' takes no value"},
      {{"--every-frame=2"}, "takes no value"},
      {{"a", "b", "c"}, "unexpected argument 'c'"},
      {{"a", "-i", "b"}, "input given twice"},
      {{"-o", "a", "b", "c"}, "output given twice: 'c' and -o"},
      {{"-i", "a", "-o", "b", "c"}, "output given twice: 'c' and -o"},
      {{"-i", "a", "b", "c"}, "unexpected argument 'c'"},
      // A repeated single-valued option, in any of its spellings.
      {{"-o", "a", "-o", "b"}, "option '-o' given twice"},
      {{"-i", "a", "--input", "b"}, "option '--input' given twice"},
      {{"-f", "I420", "-f", "YV12"}, "option '-f' given twice"},
      {{"-t", "bgra", "-i", "a", "-f", "rawvideo", "b"}, "option '-f' after -i (the output's) given twice (first as '-t')"},
      {{"-s", "2x2", "--size", "4x4"}, "given twice"},
      {{"--frames", "1", "-frames:v", "2"}, "option '-frames:v' given twice"},
      {{"-r", "25", "-r", "30"}, "given twice"},
      {{"--start", "1", "--start", "1"}, "given twice"},
      {{"--plugin", "a", "--plugin", "a"}, "given twice"},
      {{"-pix_fmt", "yuv420p", "-pix_fmt", "bgra"}, "'-pix_fmt' for the input given twice"},
      {{"a", "-pix_fmt", "yuv420p", "-pix_fmt", "bgra"}, "'-pix_fmt' for the output given twice"},
      {{"--frame", "-1"}, "malformed frame number"},
      {{"--frames", "0"}, "malformed frame count"},
      {{"--start", "-2"}, "malformed start frame"},
      {{"-r", "0"}, "malformed frame rate '0'"},
      {{"-s", "huge"}, "malformed size 'huge'"},
      {{"--info", "in.yuv"}, "--info takes no input"},
  };
  ExpectUsageErrors(cases);
}

// FFmpeg's conventions: names matched whole, its options after -i INPUT
// the output's, -ss as a time, and its options without meaning here refused
// by name with what to do.
TEST(CommandLine, FfmpegConventions) {
  const struct {
    const char* name;
    Args args;
    std::function<bool(const Options&)> holds;
  } accepted[] = {
      {"FormatAfterDashIIsTheOutputs",
       {"-i", "in", "-f", "rawvideo", "-pix_fmt", "bgra", "out"},
       [](const Options& o) { return o.from.empty() && o.to == "rawvideo" && o.outputPixelFormat == "bgra"; }},
      {"FormatOnBothSides",
       {"-f", "rawvideo", "-pix_fmt", "yuv420p", "-s", "hd720", "-i", "-", "-f", "yuv4mpegpipe", "-"},
       [](const Options& o) { return o.from == "rawvideo" && o.to == "yuv4mpegpipe" && o.size->width == 1280; }},
      {"SeekSeconds", {"-ss", "2", "a", "b"}, [](const Options& o) { return o.seek->seconds == 2; }},
      {"SeekClock",
       {"a", "-ss", "01:02:03.25", "b"},
       [](const Options& o) { return o.seek->seconds == 3723 && o.seek->microseconds == 250000; }},
      {"NoOverwriteAndBanner", {"-hide_banner", "-n", "a", "b"}, [](const Options& o) { return !o.overwrite; }},
      {"VideoSize", {"-video_size", "64x48", "-i", "a", "b"}, [](const Options& o) { return o.size->height == 48; }},
      {"RawvideoCodecIsNothingToDo", {"-i", "a", "-c:v", "rawvideo", "b"}, [](const Options& o) { return o.output == "b"; }},
      {"OwnSizeAfterDashI", {"-i", "a", "--size", "4x2", "b"}, [](const Options& o) { return o.size->width == 4; }},
  };
  for (const auto& c : accepted) {
    SCOPED_TRACE(c.name);
    Options options;
    ASSERT_NO_THROW(options = ParseCommandLine(c.args));
    EXPECT_TRUE(c.holds(options));
  }
  const std::vector<std::pair<Args, std::string>> refused = {
      // No abbreviations: each once matched a longer name.
      {{"-vframe", "3"}, "unknown option '-vframe'"},
      {{"--fram", "3"}, "unknown option '--fram'"},
      {{"--qui"}, "unknown option '--qui'"},
      {{"-vf", "scale=320:240"}, "option '-vf' is not supported: pellix-convert converts the pixel format only"},
      {{"-vf", "3", "a", "b"}, "option '-vf' is not supported"},
      {{"-i", "a", "-filter:v", "null", "b"}, "option '-filter:v' is not supported"},
      {{"-i", "a", "-c:v", "libx264", "b"}, "option '-c:v' is not supported: pellix-convert reads and writes raw"},
      {{"-vcodec", "mjpeg"}, "option '-vcodec' is not supported"},
      {{"-i", "a", "-s", "64x48", "b"}, "after -i sets the output's size, and pellix-convert does not scale"},
      {{"-i", "a", "-f", "rawvideo", "-t", "bgra"}, "option '-t' given twice"},
      {{"-ss", "2", "--start", "3"}, "option '--start' given twice"},
      {{"-ss", "1:2"}, "malformed time '1:2' for -ss"},
      {{"-ss", "00:61:00"}, "malformed time"},
      {{"-ss", "2."}, "malformed time"},
      {{"-n", "-y"}, "-y and -n contradict"},
  };
  ExpectUsageErrors(refused);
}

// The first frame at or after a time, exactly at the boundaries.
TEST(SeekTimes, FirstFrameAtOrAfter) {
  const struct {
    SeekTime time;
    int64_t numerator, denominator, frame;
  } cases[] = {
      {{0, 0}, 25, 1, 0},          {{2, 0}, 25, 1, 50},           {{0, 40000}, 25, 1, 1},
      {{0, 40001}, 25, 1, 2},      {{1, 500000}, 30000, 1001, 45}, {{1001, 0}, 30000, 1001, 30000},
      {{1000000000, 999999}, 2147483647, 1, 2147483649147481500},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FirstFrameAt(c.time, c.numerator, c.denominator), c.frame)
        << c.time.seconds << " s " << c.time.microseconds << " us at " << c.numerator << ":" << c.denominator;
  }
}

// Flags may be given twice; that is no contradiction.
TEST(CommandLine, RepeatedFlagsAreHarmless) {
  const Options o = ParseCommandLine({"-y", "-y", "-q", "--quiet", "a", "b"});
  EXPECT_TRUE(o.overwrite && o.quiet);
}

TEST(FrameSizes, NumbersAndFfmpegNames) {
  const struct {
    const char* text;
    int32_t width, height;
  } sizes[] = {
      {"640x480", 640, 480}, {"64X48", 64, 48},       {"2147483647x1", 2147483647, 1},
      {"hd720", 1280, 720},  {"hd1080", 1920, 1080},  {"HD480", 852, 480},
      {"cif", 352, 288},     {"qcif", 176, 144},      {"vga", 640, 480},
      {"pal", 720, 576},     {"ntsc", 720, 480},      {"4k", 4096, 2160},
      {"uhd2160", 3840, 2160}, {"nhd", 640, 360},     {"2kscope", 2048, 858},
  };
  for (const auto& s : sizes) {
    const FrameSize size = ParseFrameSize(s.text);
    EXPECT_EQ(size.width, s.width) << s.text;
    EXPECT_EQ(size.height, s.height) << s.text;
  }
  for (const char* bad : {"640", "640x", "x480", "0x480", "640x0", "-5x3", "64x48x2", "a x b", "64 x48",
                          "2147483648x1", "+64x48", "", "hd", "hd720p", "vga "}) {
    EXPECT_THROW(ParseFrameSize(bad), ToolError) << bad;
  }
}

TEST(FrameRates, NumbersFractionsDecimalsAndNames) {
  const struct {
    const char* text;
    const char* ratio;
  } rates[] = {
      {"25", "25:1"},        {"30000/1001", "30000:1001"}, {"30000:1001", "30000:1001"}, {"50/2", "25:1"},
      {"29.97", "2997:100"}, {"23.976", "2997:125"},       {"0.5", "1:2"},               {".5", "1:2"},
      {"ntsc", "30000:1001"}, {"PAL", "25:1"},             {"film", "24:1"},             {"ntsc-film", "24000:1001"},
  };
  for (const auto& r : rates) EXPECT_EQ(ParseFrameRate(r.text), r.ratio) << r.text;
  for (const char* bad : {"0", "0/1", "1/0", "-25", "25fps", "29.", "1.2.3", "1e3", "", "30000/", "/1001",
                          "0.0000000001", "4294967296", "1.0000000001"}) {
    EXPECT_THROW(ParseFrameRate(bad), ToolError) << bad;
  }
}

}  // namespace
}  // namespace pellix::convert
