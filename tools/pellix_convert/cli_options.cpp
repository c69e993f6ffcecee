#include "tools/pellix_convert/cli_options.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <limits>

#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

// A decimal number of digits only (no sign, no blanks), within [low, high].
std::optional<int64_t> ParseNumber(const std::string& text, int64_t low, int64_t high) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

struct OptionRule {
  const char* longName;
  char shortName;  // 0: none
  bool takesValue;
  std::function<void(Options&, const std::string&)> apply;
};

const std::vector<OptionRule>& OptionRules() {
  static const std::vector<OptionRule> rules = {
      {"input", 'i', true, [](Options& o, const std::string& v) { o.input = v; }},
      {"output", 'o', true, [](Options& o, const std::string& v) { o.output = v; }},
      {"from", 'f', true, [](Options& o, const std::string& v) { o.from = v; }},
      {"to", 't', true, [](Options& o, const std::string& v) { o.to = v; }},
      {"size", 's', true, [](Options& o, const std::string& v) { o.size = ParseFrameSize(v); }},
      {"frame", 0, true,
       [](Options& o, const std::string& v) {
         const auto n = ParseNumber(v, 0, std::numeric_limits<int32_t>::max());
         if (!n) throw UsageError("malformed frame number '" + v + "': expected 0, 1, 2, ...");
         o.pngFrame = *n;
       }},
      {"every-frame", 0, false, [](Options& o, const std::string&) { o.everyFrame = true; }},
      {"overwrite", 'y', false, [](Options& o, const std::string&) { o.overwrite = true; }},
      {"quiet", 'q', false, [](Options& o, const std::string&) { o.quiet = true; }},
      {"plugin", 0, true, [](Options& o, const std::string& v) { o.pluginPath = v; }},
      {"frames", 0, true,
       [](Options& o, const std::string& v) {
         const auto n = ParseNumber(v, 1, 10000);
         if (!n) throw UsageError("malformed frame count '" + v + "': expected a number from 1 to 10000");
         o.patternFrames = static_cast<int32_t>(*n);
       }},
      {"info", 0, false, [](Options& o, const std::string&) { o.mode = Mode::Info; }},
      {"help", 'h', false, [](Options& o, const std::string&) { o.mode = Mode::Help; }},
      {"version", 0, false, [](Options& o, const std::string&) { o.mode = Mode::Version; }},
  };
  return rules;
}

const OptionRule* FindLong(const std::string& name) {
  for (const OptionRule& rule : OptionRules()) {
    if (name == rule.longName) return &rule;
  }
  return nullptr;
}

const OptionRule* FindShort(char name) {
  for (const OptionRule& rule : OptionRules()) {
    if (rule.shortName != 0 && name == rule.shortName) return &rule;
  }
  return nullptr;
}

}  // namespace

FrameSize ParseFrameSize(const std::string& text) {
  const size_t x = text.find_first_of("xX");
  const int64_t largest = std::numeric_limits<int32_t>::max();
  if (x != std::string::npos) {
    const auto width = ParseNumber(text.substr(0, x), 1, largest);
    const auto height = ParseNumber(text.substr(x + 1), 1, largest);
    if (width && height) return FrameSize{static_cast<int32_t>(*width), static_cast<int32_t>(*height)};
  }
  throw UsageError("malformed size '" + text + "': expected WIDTHxHEIGHT with positive numbers, e.g. 640x480");
}

Options ParseCommandLine(const std::vector<std::string>& args) {
  Options options;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  bool modeGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const OptionRule* rule = nullptr;
    std::string value;
    bool hasInlineValue = false;
    if (arg.compare(0, 2, "--") == 0) {
      const size_t equals = arg.find('=');
      rule = FindLong(arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2));
      if (equals != std::string::npos) {
        hasInlineValue = true;
        value = arg.substr(equals + 1);
      }
    } else {
      rule = FindShort(arg[1]);
      if (arg.size() > 2) {
        hasInlineValue = true;
        value = arg.substr(2);
      }
    }
    if (rule == nullptr) throw UsageError("unknown option '" + arg + "' (see --help)");
    if (rule->takesValue && !hasInlineValue) {
      if (i + 1 >= args.size()) throw UsageError("option '" + arg + "' needs a value");
      value = args[++i];
    } else if (!rule->takesValue && hasInlineValue) {
      throw UsageError("option '" + arg + "' takes no value");
    }
    const Mode before = options.mode;
    rule->apply(options, value);
    if (options.mode != before) modeGiven = true;
  }
  if (positional.size() > 2) throw UsageError("unexpected argument '" + positional[2] + "'");
  if (!positional.empty()) {
    if (!options.input.empty()) throw UsageError("input given twice: '" + positional[0] + "' and -i");
    options.input = positional[0];
  }
  if (positional.size() == 2) {
    if (!options.output.empty()) throw UsageError("output given twice: '" + positional[1] + "' and -o");
    options.output = positional[1];
  }
  if (!modeGiven) options.mode = options.input.empty() ? Mode::DefaultRun : Mode::Convert;
  if (options.mode == Mode::Info && !options.input.empty()) throw UsageError("--info takes no input");
  return options;
}

std::string UsageText() {
  return R"(Usage: pellix-convert [options] INPUT OUTPUT
       pellix-convert [options] -i INPUT -o OUTPUT
       pellix-convert [-o FOLDER]          convert the built-in test pattern
       pellix-convert --info               what the plug-in reports

Converts video between I420 (IYUV), YV12, YUY2, UYVY and BGRA through the
Pellix colour transform plug-in.

  -i, --input PATH     input: raw frames, or YUV4MPEG2 when PATH ends in .y4m;
                       '-' reads standard input
  -o, --output PATH    output: raw frames, YUV4MPEG2 (.y4m) or PNG (.png);
                       '-' writes standard output
  -f, --from FORMAT    input format (may be guessed from a .i420, .yv12, .yuy2,
                       .uyvy or .bgra name); 'y4m' for YUV4MPEG2 on a pipe
  -t, --to FORMAT      output format; 'y4m' for YUV4MPEG2 on a pipe
  -s, --size WxH       frame size of raw input (or of the test pattern)
      --frame N        PNG output: the frame to write, counted from 0 (default 0)
      --every-frame    PNG output: every frame, as NAME-000000.png, NAME-000001.png, ...
  -y, --overwrite      replace an existing output
  -q, --quiet          no progress line
      --plugin PATH    the plug-in library (default: the one built with this tool,
                       or $PELLIX_PLUGIN)
      --frames N       frames of the test pattern (default 48)
      --info           print the plug-in's properties, interfaces and routines
  -h, --help           this text
      --version        the tool's version

Formats: I420, IYUV, YV12, YUY2, UYVY, BGRA; FFmpeg's yuv420p, yuyv422, uyvy422, bgra.
Planar formats (I420, YV12) need an even width and height.
With no input, the results go to the folder given by -o (default pellix-out).
Exit status: 0 done, 1 the input, output or plug-in failed, 2 a bad command line.
)";
}

}  // namespace pellix::convert
