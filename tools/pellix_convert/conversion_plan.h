// What a command line asks for, checked for consistency before any work:
// where frames come from and go to, in which containers and formats, at
// which size, which of them. Every contradiction is a usage error naming the
// problem.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "formats/pixel_format.h"
#include "tools/pellix_convert/cli_options.h"
#include "tools/pellix_convert/seek_time.h"

namespace pellix::convert {

enum class Container { Raw, Y4m, Png };

struct ConversionPlan {
  std::string input;
  Container inputContainer = Container::Raw;
  // Neither an option nor the input's name says what the input holds: a
  // stream that begins with "YUV4MPEG2 " is YUV4MPEG2 (SettleInputContainer).
  bool inputByContent = false;
  PixelFormat from = PixelFormat::None;
  std::optional<FrameSize> size;  // raw input; a YUV4MPEG2 header gives its own

  std::string output;
  Container outputContainer = Container::Raw;
  PixelFormat to = PixelFormat::None;  // PNG: the format shown, displayed through BGRA
  std::optional<std::string> rate;     // YUV4MPEG2 output: "N:D" instead of the input's rate

  uint64_t start = 0;               // input frames skipped
  std::optional<SeekTime> seek;     // or the frames before this time
  std::optional<uint64_t> frames;   // at most this many converted
  uint64_t pngFrame = 0;            // counted from the first frame converted
  bool everyFrame = false;

  bool overwrite = false;
  bool quiet = false;
  bool keepPartial = false;  // an output file keeps the whole frames of a truncated input
  int32_t threads = 1;  // bands per frame, each on its own thread; 0: one per core
  std::string pluginPath;
};

// For Mode::Convert. Throws a usage ToolError.
ConversionPlan PlanConversion(const Options& options);

// Settles a plan left to the input's content: YUV4MPEG2 when the input
// begins with its magic, otherwise a usage error asking for -f.
void SettleInputContainer(ConversionPlan& plan, bool startsWithY4mMagic);

// Empty when the plan's formats and conversions can carry frames of this
// size (also a size from a YUV4MPEG2 header); otherwise the problem.
std::string PlanSizeProblem(const ConversionPlan& plan, int32_t width, int32_t height);

// Whether BGRA takes part: as input, as output, or for the PNG image.
bool InvolvesBgra(const ConversionPlan& plan);

}  // namespace pellix::convert
