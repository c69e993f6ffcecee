#include "tools/pellix_convert/cli_options.h"

#include <getopt.h>

#include <cstring>
#include <limits>
#include <set>

#include "formats/format_names.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

// getopt codes of the options without a short letter.
enum LongOnly : int {
  kPixelFormat = 256,
  kFrames,
  kStart,
  kFrame,
  kEveryFrame,
  kPlugin,
  kInfo,
  kVersion,
  kThreads,
  kKeepPartial,
};

// Leading '-': arguments that are not options come back in order (code 1),
// so that -pix_fmt knows whether the input has been named yet. ':' reports
// a missing value apart from an unknown option.
constexpr char kShortOptions[] = "-:i:o:f:t:s:r:yqh";

const option kLongOptions[] = {
    {"input", required_argument, nullptr, 'i'},
    {"output", required_argument, nullptr, 'o'},
    {"from", required_argument, nullptr, 'f'},
    {"to", required_argument, nullptr, 't'},
    {"pix_fmt", required_argument, nullptr, kPixelFormat},
    {"size", required_argument, nullptr, 's'},
    {"rate", required_argument, nullptr, 'r'},
    {"frames", required_argument, nullptr, kFrames},
    {"frames:v", required_argument, nullptr, kFrames},
    {"vframes", required_argument, nullptr, kFrames},
    {"start", required_argument, nullptr, kStart},
    {"frame", required_argument, nullptr, kFrame},
    {"every-frame", no_argument, nullptr, kEveryFrame},
    {"overwrite", no_argument, nullptr, 'y'},
    {"quiet", no_argument, nullptr, 'q'},
    {"threads", required_argument, nullptr, kThreads},
    {"keep-partial", no_argument, nullptr, kKeepPartial},
    {"plugin", required_argument, nullptr, kPlugin},
    {"info", no_argument, nullptr, kInfo},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

// More threads than this only multiply components for nothing.
constexpr int64_t kMostThreads = 256;

int64_t Count(const std::string& text, int64_t low, const std::string& what,
              int64_t high = std::numeric_limits<int64_t>::max() / 2) {
  const auto n = ParseDecimal(text, low, high);
  if (!n) {
    std::string expected = low == 0 ? "0, 1, 2, ..." : "1, 2, 3, ...";
    if (high < std::numeric_limits<int64_t>::max() / 2) expected += " up to " + std::to_string(high);
    throw UsageError("malformed " + what + " '" + text + "': expected " + expected);
  }
  return *n;
}

bool TakesValue(int code) {
  for (const option* o = kLongOptions; o->name != nullptr; ++o) {
    if (o->val == code) return o->has_arg == required_argument;
  }
  return false;
}

bool IsShortOption(int code) { return code > 0 && code < 256 && std::strchr(kShortOptions + 2, code) != nullptr; }

// How messages name an option: its spelling on the command line.
std::string Spelling(int code, const std::string& argument) {
  const bool shortSpelling = IsShortOption(code) && argument.size() > 1 && argument[1] != '-';
  return shortSpelling ? std::string("-") + static_cast<char>(code) : argument;
}

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& args) {
    texts_.push_back("pellix-convert");
    texts_.insert(texts_.end(), args.begin(), args.end());
    for (std::string& text : texts_) argv_.push_back(text.data());
    argv_.push_back(nullptr);
  }

  Options parse() {
    // getopt keeps its state in globals: 0 starts a fresh scan (glibc).
    optind = 0;
    opterr = 0;
    const int argc = static_cast<int>(texts_.size());
    for (;;) {
      const int at = optind < 1 ? 1 : optind;
      const std::string current = at < argc ? texts_[static_cast<size_t>(at)] : std::string();
      const int code = getopt_long_only(argc, argv_.data(), kShortOptions, kLongOptions, nullptr);
      if (code == -1) break;
      apply(code, optarg != nullptr ? std::string(optarg) : std::string(), current);
    }
    for (int i = optind; i < argc; ++i) positional(texts_[static_cast<size_t>(i)]);
    if (modeGiven_ == 0) options_.mode = options_.input.empty() ? Mode::DefaultRun : Mode::Convert;
    if (options_.mode == Mode::Info && !options_.input.empty()) throw UsageError("--info takes no input");
    return options_;
  }

 private:
  // A name without an option is the input until one is named, then the
  // output (after -i, a lone name is the output, as in FFmpeg).
  void positional(const std::string& argument) {
    if (options_.input.empty()) {
      options_.input = argument;
    } else if (options_.output.empty()) {
      options_.output = argument;
    } else if (seen_.count('o') != 0) {
      throw UsageError("output given twice: '" + argument + "' and -o");
    } else {
      throw UsageError("unexpected argument '" + argument + "'");
    }
  }

  // A single-valued option may be given once (its aliases count as the
  // same option).
  void once(int code, const std::string& spelling) {
    if (!seen_.insert(code).second) throw UsageError("option " + spelling + " given twice");
  }

  void apply(int code, const std::string& value, const std::string& current) {
    // -pix_fmt may be given once for each side, below.
    if (code != kPixelFormat && TakesValue(code)) once(code, "'" + Spelling(code, current) + "'");
    switch (code) {
      case 1:
        positional(value);
        return;
      case '?':
        refuse(current);
      case ':':
        throw UsageError("option '" + current + "' needs a value");
      case 'i':
        if (!options_.input.empty()) throw UsageError("input given twice: '" + options_.input + "' and -i");
        options_.input = value;
        return;
      case 'o':
        if (!options_.output.empty()) throw UsageError("output given twice: '" + options_.output + "' and -o");
        options_.output = value;
        return;
      case 'f':
        options_.from = value;
        return;
      case 't':
        options_.to = value;
        return;
      case kPixelFormat: {
        // Like FFmpeg: before the input names the input's, after it the output's.
        const bool forInput = options_.input.empty();
        once(forInput ? kPixelFormat : -kPixelFormat,
             std::string("'-pix_fmt' for the ") + (forInput ? "input" : "output"));
        (forInput ? options_.inputPixelFormat : options_.outputPixelFormat) = value;
        return;
      }
      case 's':
        options_.size = ParseFrameSize(value);
        return;
      case 'r':
        options_.rate = ParseFrameRate(value);
        return;
      case kFrames:
        options_.frames = Count(value, 1, "frame count");
        return;
      case kStart:
        options_.start = Count(value, 0, "start frame");
        return;
      case kFrame:
        options_.pngFrame = Count(value, 0, "frame number");
        return;
      case kKeepPartial:
        options_.keepPartial = true;
        return;
      case kThreads:
        options_.threads = static_cast<int32_t>(Count(value, 0, "thread count", kMostThreads));
        return;
      case kPlugin:
        options_.pluginPath = value;
        return;
      case kEveryFrame:
        options_.everyFrame = true;
        return;
      case 'y':
        options_.overwrite = true;
        return;
      case 'q':
        options_.quiet = true;
        return;
      case kInfo:
        setMode(Mode::Info);
        return;
      case 'h':
        setMode(Mode::Help);
        return;
      case kVersion:
        setMode(Mode::Version);
        return;
      default:
        refuse(current);
    }
  }

  [[noreturn]] void refuse(const std::string& current) {
    // glibc leaves in optopt the short letter it did not know, the code of a
    // known long option given a value it does not take, or 0 for an unknown
    // or ambiguous long option.
    if (optopt != 0 && !IsShortOption(optopt) && optopt < 256) {
      throw UsageError("unknown option '-" + std::string(1, static_cast<char>(optopt)) + "' in '" + current +
                       "' (see --help)");
    }
    if (optopt != 0) throw UsageError("option '" + current + "' takes no value");
    throw UsageError("unknown option '" + current + "' (see --help)");
  }

  void setMode(Mode mode) {
    options_.mode = mode;
    ++modeGiven_;
  }

  std::vector<std::string> texts_;
  std::vector<char*> argv_;
  Options options_;
  std::set<int> seen_;
  int modeGiven_ = 0;
};

}  // namespace

Options ParseCommandLine(const std::vector<std::string>& args) { return Parser(args).parse(); }

std::string UsageText() {
  return R"(Usage: pellix-convert [options] INPUT OUTPUT
       pellix-convert [options] -i INPUT -o OUTPUT
       pellix-convert [-o FOLDER] [-s SIZE] [--frames N]   convert the built-in test pattern
       pellix-convert --info               what the plug-in reports

Converts video between I420 (IYUV), YV12, YUY2, UYVY and BGRA through the
Pellix colour transform plug-in. The conversion is BT.601 at video range
(YUV luma 16-235, chroma 16-240; BGRA 0-255), and where chroma is expanded
(4:2:0 or 4:2:2 to BGRA, 4:2:0 to 4:2:2) each sample is repeated for the
pixels that share it, not interpolated.

  -i, --input PATH     input: raw frames, or YUV4MPEG2 (a .y4m name, or a stream
                       that begins with YUV4MPEG2); '-' reads standard input
  -o, --output PATH    output: raw frames, YUV4MPEG2 (.y4m) or PNG (.png);
                       '-' writes standard output
  -f, --from FORMAT    input pixel format (guessed from a .i420, .iyuv, .yv12,
                       .yuy2, .uyvy or .bgra name), or the container: y4m
                       (yuv4mpegpipe) or rawvideo
  -t, --to FORMAT      output pixel format, or y4m / rawvideo
      -pix_fmt FORMAT  FFmpeg's spelling: the input's pixel format when given
                       before the input, the output's when given after it
  -s, --size SIZE      frame size of raw input (or of the test pattern): WxH,
                       or a name: hd720, hd1080, vga, cif, pal, ntsc, 4k, ...
  -r, --rate RATE      frame rate written to YUV4MPEG2 output: 25, 30000/1001,
                       29.97, ntsc, pal, film (default: the input's, or 25)
      --frames N       convert at most N frames (also -frames:v N, -vframes N);
                       with no input, frames of the test pattern (default 48)
      --start N        skip the first N frames of the input
      --frame N        PNG output: the frame to write, counted from 0 (default 0)
      --every-frame    PNG output: every frame, as NAME-000000.png, NAME-000001.png, ...
      --keep-partial   an input that ends inside a frame still fails, but an output
                       file keeps the whole frames before the cut (a stream has
                       them anyway)
  -y, --overwrite      replace an existing output
  -q, --quiet          no progress line
      --threads N      split each frame into N bands converted at once, each on
                       its own thread (0: one per core; default 1)
      --plugin PATH    the plug-in library (default: the one built with this tool,
                       or $PELLIX_PLUGIN)
      --info           print the plug-in's properties, interfaces and routines
  -h, --help           this text
      --version        the tool's version

Long options take one dash or two; short ones combine (-qy).
Formats: )" + CommandLineFormatNames() +
         R"( (any case).
Planar formats (I420, YV12) need an even width and height, and so does BGRA
to YUY2 or UYVY. Full-range YUV4MPEG2 input (XCOLORRANGE=FULL) is refused for
conversions to or from BGRA (and PNG); convert its range with FFmpeg first.
With no input, the results go to the folder given by -o (default pellix-out).
Exit status: 0 done, 1 the input, output or plug-in failed, 2 a bad command line.
)";
}

}  // namespace pellix::convert
