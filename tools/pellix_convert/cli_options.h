// The command line of pellix-convert, parsed into options without judging
// whether they fit together (conversion_plan does that). Long options take
// one dash or two, as FFmpeg's do ("-pix_fmt", "-frames:v", "--frames"),
// and are matched whole, never abbreviated; short flags combine ("-qy").
// As in FFmpeg, -f and -s after "-i INPUT" are the output's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/pellix_convert/seek_time.h"
#include "tools/pellix_convert/size_and_rate.h"

namespace pellix::convert {

enum class Mode {
  DefaultRun,  // no input: convert the built-in test pattern
  Convert,
  Info,
  Help,
  Version,
};

struct Options {
  Mode mode = Mode::DefaultRun;
  std::string input;   // path, "-" for standard input; empty when none given
  std::string output;  // path, "-" for standard output; the folder of a default run
  std::string from;    // -f as typed (a pixel format or a container); empty when not given
  std::string to;      // -t likewise
  // -pix_fmt as typed: before the input it names the input's pixel format,
  // after it the output's (as FFmpeg applies options to the next file).
  std::string inputPixelFormat;
  std::string outputPixelFormat;
  std::optional<FrameSize> size;
  std::optional<std::string> rate;  // -r, as a YUV4MPEG2 ratio "N:D"
  std::optional<int64_t> frames;    // --frames, -frames:v, -vframes
  std::optional<int64_t> start;     // --start
  std::optional<SeekTime> seek;     // -ss
  std::optional<int64_t> pngFrame;  // which frame a PNG shows
  bool everyFrame = false;          // one PNG per frame
  bool overwrite = false;
  bool quiet = false;
  bool keepPartial = false;  // --keep-partial
  int32_t threads = 1;  // --threads: 0 is one per core
  std::string pluginPath;  // empty: the plug-in built with this tree
};

// Throws a usage ToolError naming the offending argument, also for a
// single-valued option given twice.
Options ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText();

}  // namespace pellix::convert
