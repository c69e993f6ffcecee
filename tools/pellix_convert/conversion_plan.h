// What a command line asks for, checked for consistency before any work:
// where frames come from and go to, in which containers and formats, at
// which size. Every contradiction is a usage error naming the problem.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "formats/pixel_format.h"
#include "tools/pellix_convert/cli_options.h"

namespace pellix::convert {

enum class Container { Raw, Y4m, Png };

struct ConversionPlan {
  std::string input;
  Container inputContainer = Container::Raw;
  PixelFormat from = PixelFormat::None;
  std::optional<FrameSize> size;  // raw input; a YUV4MPEG2 header gives its own

  std::string output;
  Container outputContainer = Container::Raw;
  PixelFormat to = PixelFormat::None;  // PNG: the format shown, displayed through BGRA

  uint64_t pngFrame = 0;
  bool everyFrame = false;

  bool overwrite = false;
  bool quiet = false;
  std::string pluginPath;
};

// For Mode::Convert. Throws a usage ToolError.
ConversionPlan PlanConversion(const Options& options);

// Empty when both formats of the plan can carry frames of this size;
// otherwise the problem, for a size that comes from a YUV4MPEG2 header.
std::string PlanSizeProblem(const ConversionPlan& plan, int32_t width, int32_t height);

}  // namespace pellix::convert
