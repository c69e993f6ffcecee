// The command line of pellix-convert, parsed into options without judging
// whether they fit together (conversion_plan does that).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pellix::convert {

enum class Mode {
  DefaultRun,  // no input: convert the built-in test pattern
  Convert,
  Info,
  Help,
  Version,
};

struct FrameSize {
  int32_t width = 0;
  int32_t height = 0;
};

struct Options {
  Mode mode = Mode::DefaultRun;
  std::string input;   // path, "-" for standard input; empty when none given
  std::string output;  // path, "-" for standard output; the folder of a default run
  std::string from;    // format names as typed; empty when not given
  std::string to;
  std::optional<FrameSize> size;
  std::optional<int64_t> pngFrame;  // which frame a PNG shows
  bool everyFrame = false;          // one PNG per frame
  bool overwrite = false;
  bool quiet = false;
  std::string pluginPath;  // empty: the plug-in built with this tree
  std::optional<int32_t> patternFrames;
};

// Throws a usage ToolError naming the offending argument.
Options ParseCommandLine(const std::vector<std::string>& args);

// "640x480" (or "640X480"): two positive decimal numbers that fit in 32 bits.
// Throws a usage ToolError for anything else.
FrameSize ParseFrameSize(const std::string& text);

std::string UsageText();

}  // namespace pellix::convert
