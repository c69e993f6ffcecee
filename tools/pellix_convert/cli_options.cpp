#include "tools/pellix_convert/cli_options.h"

#include <cstring>
#include <limits>
#include <map>

#include "formats/format_names.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

// Codes of the options without a short letter.
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
  kSeek,
  kNoOverwrite,
  kHideBanner,
};

struct OptionName {
  const char* name;
  int code;
  bool takesValue;
};

// Every name, matched whole: no abbreviations (FFmpeg has none, and a
// prefix would turn -vf into -vframes).
const OptionName kOptionNames[] = {
    {"input", 'i', true},
    {"output", 'o', true},
    {"from", 'f', true},
    {"to", 't', true},
    {"pix_fmt", kPixelFormat, true},
    {"size", 's', true},
    {"video_size", 's', true},
    {"rate", 'r', true},
    {"frames", kFrames, true},
    {"frames:v", kFrames, true},
    {"vframes", kFrames, true},
    {"start", kStart, true},
    {"ss", kSeek, true},
    {"frame", kFrame, true},
    {"every-frame", kEveryFrame, false},
    {"overwrite", 'y', false},
    {"n", kNoOverwrite, false},
    {"quiet", 'q', false},
    {"hide_banner", kHideBanner, false},
    {"threads", kThreads, true},
    {"keep-partial", kKeepPartial, false},
    {"plugin", kPlugin, true},
    {"info", kInfo, false},
    {"help", 'h', false},
    {"version", kVersion, false},
};

// Single letters, which combine: -qy, -fI420.
constexpr char kShortLetters[] = "ioftsryqh";

// FFmpeg options that have no meaning here, with what to do instead.
struct Unsupported {
  const char* name;
  const char* advice;
};
constexpr char kNoFilters[] =
    "pellix-convert converts the pixel format only and applies no filters (no scaling, cropping or range "
    "change): filter with ffmpeg before or after it, piping raw frames";
constexpr char kNoCodecs[] =
    "pellix-convert reads and writes raw frames (rawvideo) and YUV4MPEG2 only: decode or encode with ffmpeg "
    "and pipe raw frames, e.g. ffmpeg -i IN -f rawvideo -pix_fmt yuv420p - | pellix-convert ...";
const Unsupported kUnsupported[] = {
    {"vf", kNoFilters},          {"filter:v", kNoFilters}, {"filter", kNoFilters},   {"filter_complex", kNoFilters},
    {"lavfi", kNoFilters},       {"sws_flags", kNoFilters}, {"c", kNoCodecs},        {"c:v", kNoCodecs},
    {"codec", kNoCodecs},        {"codec:v", kNoCodecs},   {"vcodec", kNoCodecs},    {"b:v", kNoCodecs},
    {"crf", kNoCodecs},          {"preset", kNoCodecs},    {"qscale:v", kNoCodecs},  {"q:v", kNoCodecs},
};
// Codec options whose value needs nothing done.
bool HarmlessCodec(const std::string& name, const std::string& value) {
  return (name == "c" || name == "c:v" || name == "codec" || name == "codec:v" || name == "vcodec") &&
         value == "rawvideo";
}

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

const OptionName* FindName(const std::string& name) {
  for (const OptionName& o : kOptionNames) {
    if (name == o.name) return &o;
  }
  return nullptr;
}

const OptionName* FindLetter(char letter) {
  if (letter == '\0' || std::strchr(kShortLetters, letter) == nullptr) return nullptr;
  for (const OptionName& o : kOptionNames) {
    if (o.code == letter) return &o;
  }
  return nullptr;
}

const Unsupported* FindUnsupported(const std::string& name) {
  for (const Unsupported& u : kUnsupported) {
    if (name == u.name) return &u;
  }
  return nullptr;
}

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& args) : args_(args) {}

  Options parse() {
    for (next_ = 0; next_ < args_.size();) {
      const std::string argument = args_[next_++];
      if (argument == "--") {
        while (next_ < args_.size()) positional(args_[next_++]);
      } else if (argument.size() < 2 || argument[0] != '-') {
        positional(argument);
      } else if (argument[1] == '-') {
        named(argument, argument.substr(2));
      } else {
        singleDash(argument);
      }
    }
    if (modeGiven_ == 0) options_.mode = options_.input.empty() ? Mode::DefaultRun : Mode::Convert;
    if (options_.mode == Mode::Info && !options_.input.empty()) throw UsageError("--info takes no input");
    if (options_.overwrite && noOverwrite_) throw UsageError("-y and -n contradict each other: give one");
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

  // "--name" or "--name=value" (also "-name" and "-name=value").
  void named(const std::string& argument, const std::string& text) {
    const size_t equals = text.find('=');
    const std::string name = text.substr(0, equals);
    const OptionName* option = FindName(name);
    if (option == nullptr) {
      const Unsupported* unsupported = FindUnsupported(name);
      if (unsupported == nullptr) throw UsageError("unknown option '" + argument + "' (see --help)");
      const std::string value = equals != std::string::npos ? text.substr(equals + 1) : takeValue(argument);
      if (HarmlessCodec(name, value)) return;
      throw UsageError("option '-" + name + "' is not supported: " + unsupported->advice);
    }
    if (!option->takesValue) {
      if (equals != std::string::npos) throw UsageError("option '" + argument + "' takes no value");
      apply(option->code, "", argument);
      return;
    }
    apply(option->code, equals != std::string::npos ? text.substr(equals + 1) : takeValue(argument), argument);
  }

  // "-name" as a whole name, else letters run together: -qy, -fI420.
  void singleDash(const std::string& argument) {
    const std::string text = argument.substr(1);
    const std::string name = text.substr(0, text.find('='));
    if (FindName(name) != nullptr || FindUnsupported(name) != nullptr || FindLetter(argument[1]) == nullptr) {
      named(argument, text);
      return;
    }
    for (size_t at = 1; at < argument.size(); ++at) {
      const OptionName* option = FindLetter(argument[at]);
      const std::string spelling = std::string("-") + argument[at];
      if (option == nullptr) {
        throw UsageError("unknown option '" + spelling + "' in '" + argument + "' (see --help)");
      }
      if (!option->takesValue) {
        apply(option->code, "", spelling);
        continue;
      }
      const std::string rest = argument.substr(at + 1);
      apply(option->code, rest.empty() ? takeValue(spelling) : rest, spelling);
      return;
    }
  }

  std::string takeValue(const std::string& spelling) {
    if (next_ >= args_.size()) throw UsageError("option '" + spelling + "' needs a value");
    return args_[next_++];
  }

  // A single-valued option may be given once (its aliases count as the
  // same option).
  void once(int code, const std::string& spelling) {
    const auto [first, inserted] = seen_.emplace(code, spelling);
    if (inserted) return;
    if (first->second == spelling) throw UsageError("option " + spelling + " given twice");
    throw UsageError("option " + spelling + " given twice (first as " + first->second + ")");
  }

  void apply(int code, const std::string& value, const std::string& spelling) {
    const OptionName* option = nullptr;
    for (const OptionName& o : kOptionNames) {
      if (o.code == code) option = &o;
    }
    // FFmpeg's rule: its options after -i INPUT are the output's (our own
    // --from and --size name the input's wherever they stand).
    const bool ffmpegSpelling = spelling == "-f" || spelling == "-s" || spelling == "-video_size";
    const bool afterDashI = inputByDashI_ && ffmpegSpelling;
    if (code == 'f' && afterDashI) code = 't';
    // -pix_fmt may be given once for each side, and -f once for each (below);
    // --start and -ss are one option.
    if (code != kPixelFormat && option->takesValue) {
      const std::string what = "'" + spelling + "'" + (code != option->code ? " after -i (the output's)" : "");
      once(code == kSeek ? kStart : code, what);
    }
    switch (code) {
      case 'i':
        if (!options_.input.empty()) throw UsageError("input given twice: '" + options_.input + "' and -i");
        options_.input = value;
        inputByDashI_ = true;
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
        if (afterDashI) {
          throw UsageError("option '" + spelling +
                           "' after -i sets the output's size, and pellix-convert does not scale: give the "
                           "input's size before -i");
        }
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
      case kSeek:
        options_.seek = ParseSeekTime(value);
        return;
      case kFrame:
        options_.pngFrame = Count(value, 0, "frame number");
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
      case kKeepPartial:
        options_.keepPartial = true;
        return;
      case 'y':
        options_.overwrite = true;
        return;
      case kNoOverwrite:
        noOverwrite_ = true;
        return;
      case 'q':
        options_.quiet = true;
        return;
      case kHideBanner:
        return;  // there is no banner
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
        throw UsageError("unknown option '" + spelling + "' (see --help)");
    }
  }

  void setMode(Mode mode) {
    options_.mode = mode;
    ++modeGiven_;
  }

  const std::vector<std::string>& args_;
  size_t next_ = 0;
  Options options_;
  std::map<int, std::string> seen_;  // option code -> how it was first spelt
  int modeGiven_ = 0;
  bool inputByDashI_ = false;
  bool noOverwrite_ = false;
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
      -ss TIME         start at the first frame at or after TIME: seconds (2, 1.5)
                       or [HH:]MM:SS[.fraction], at the stream's rate
      --frame N        PNG output: the frame to write, counted from 0 (default 0)
      --every-frame    PNG output: every frame, as NAME-000000.png, NAME-000001.png, ...
      --keep-partial   an input that ends inside a frame still fails, but an output
                       file keeps the whole frames before the cut (a stream has
                       them anyway)
  -y, --overwrite      replace an existing output file (devices, FIFOs and sockets
                       are written without it)
  -n                   never replace an existing output (the default)
  -q, --quiet          no progress line
      --threads N      split each frame into N bands converted at once, each on
                       its own thread (0: one per core; default 1)
      --plugin PATH    the plug-in library (default: the one built with this tool,
                       or $PELLIX_PLUGIN)
      --info           print the plug-in's properties, interfaces and routines
  -h, --help           this text
      --version        the tool's version

Long options take one dash or two and are never abbreviated; short ones
combine (-qy). As in FFmpeg, -f after -i INPUT is the output's. FFmpeg's
filter and codec options (-vf, -c:v, ...) are refused: convert with ffmpeg.
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
