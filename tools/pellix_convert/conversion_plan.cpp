#include "tools/pellix_convert/conversion_plan.h"

#include <strings.h>

#include "formats/format_names.h"
#include "tools/pellix_convert/frame_files.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

bool EndsWith(const std::string& path, const char* extension) {
  const size_t n = std::char_traits<char>::length(extension);
  return path.size() > n && strcasecmp(path.c_str() + path.size() - n, extension) == 0;
}

// What -f or -t names: a container, a pixel format, or nothing.
struct FormatChoice {
  std::optional<Container> container;
  PixelFormat pixels = PixelFormat::None;
};

std::string KnownNames() { return CommandLineFormatNames() + ", y4m, rawvideo"; }

PixelFormat RequirePixelFormat(const std::string& name, const char* side) {
  const auto format = FormatFromCommandLineName(name);
  if (!format) {
    throw UsageError("unknown " + std::string(side) + " format '" + name + "' (known: " + KnownNames() + ")");
  }
  return *format;
}

// -f or -t together with -pix_fmt for the same side.
FormatChoice Choose(const std::string& option, const std::string& pixelFormat, const char* side) {
  FormatChoice choice;
  if (strcasecmp(option.c_str(), "y4m") == 0 || strcasecmp(option.c_str(), "yuv4mpegpipe") == 0) {
    choice.container = Container::Y4m;
  } else if (strcasecmp(option.c_str(), "rawvideo") == 0) {
    choice.container = Container::Raw;
  } else if (!option.empty()) {
    choice.pixels = RequirePixelFormat(option, side);
  }
  if (!pixelFormat.empty()) {
    if (choice.pixels != PixelFormat::None) {
      throw UsageError(std::string(side) + " pixel format given twice: '" + option + "' and -pix_fmt '" +
                       pixelFormat + "'");
    }
    choice.pixels = RequirePixelFormat(pixelFormat, side);
  }
  return choice;
}

// A YUV4MPEG2 stream carries I420 frames.
void RequireI420(PixelFormat pixels, const std::string& side) {
  if (pixels != PixelFormat::None && pixels != PixelFormat::I420) {
    throw UsageError("YUV4MPEG2 " + side + " carries I420 only, not " + FormatName(pixels));
  }
}

void PlanInput(const Options& options, ConversionPlan& plan) {
  const FormatChoice choice = Choose(options.from, options.inputPixelFormat, "input");
  plan.from = choice.pixels != PixelFormat::None ? choice.pixels
                                                 : FormatFromFileName(options.input).value_or(PixelFormat::None);
  if (choice.container) {
    plan.inputContainer = *choice.container;
  } else if (EndsWith(options.input, ".y4m")) {
    plan.inputContainer = Container::Y4m;
  } else if (plan.from == PixelFormat::None) {
    plan.inputByContent = true;
  }
  plan.size = options.size;
  if (plan.inputContainer == Container::Y4m) SettleInputContainer(plan, true);
}

void PlanOutput(const Options& options, ConversionPlan& plan) {
  if (options.output.empty()) throw UsageError("missing output: give -o PATH (or -o - for standard output)");
  plan.output = options.output;
  const FormatChoice choice = Choose(options.to, options.outputPixelFormat, "output");
  if (choice.container) {
    plan.outputContainer = *choice.container;
  } else if (EndsWith(options.output, ".y4m")) {
    plan.outputContainer = Container::Y4m;
  } else if (EndsWith(options.output, ".png")) {
    plan.outputContainer = Container::Png;
  }
  switch (plan.outputContainer) {
    case Container::Y4m:
      RequireI420(choice.pixels, "output");
      plan.to = PixelFormat::I420;
      break;
    case Container::Png:
      plan.to = choice.pixels != PixelFormat::None ? choice.pixels : PixelFormat::BGRA;
      break;
    case Container::Raw:
      plan.to = choice.pixels != PixelFormat::None ? choice.pixels
                                                   : FormatFromFileName(options.output).value_or(PixelFormat::None);
      if (plan.to == PixelFormat::None) {
        throw UsageError("output format unknown: give -t FORMAT (" + KnownNames() + ")");
      }
      break;
  }
  if (options.rate && plan.outputContainer != Container::Y4m) {
    throw UsageError("-r applies to YUV4MPEG2 output only: raw frames and PNG images carry no frame rate");
  }
  plan.rate = options.rate;
}

void PlanFrames(const Options& options, ConversionPlan& plan) {
  plan.start = static_cast<uint64_t>(options.start.value_or(0));
  plan.seek = options.seek;
  if (options.frames) plan.frames = static_cast<uint64_t>(*options.frames);
  if (plan.outputContainer == Container::Png) {
    if (plan.output == "-") throw UsageError("PNG output needs a file name, not standard output");
    if (options.pngFrame && options.everyFrame) throw UsageError("give either --frame or --every-frame, not both");
    plan.pngFrame = static_cast<uint64_t>(options.pngFrame.value_or(0));
    plan.everyFrame = options.everyFrame;
    if (plan.frames && !plan.everyFrame && plan.pngFrame >= *plan.frames) {
      throw UsageError("--frame " + std::to_string(plan.pngFrame) + " is not among the " +
                       std::to_string(*plan.frames) + " frames --frames converts");
    }
  } else if (options.pngFrame || options.everyFrame) {
    throw UsageError(std::string(options.pngFrame ? "--frame" : "--every-frame") + " applies to PNG output only");
  }
}

}  // namespace

ConversionPlan PlanConversion(const Options& options) {
  ConversionPlan plan;
  plan.input = options.input;
  plan.overwrite = options.overwrite;
  plan.quiet = options.quiet;
  plan.keepPartial = options.keepPartial;
  plan.threads = options.threads;
  plan.pluginPath = options.pluginPath;
  PlanInput(options, plan);
  PlanOutput(options, plan);
  PlanFrames(options, plan);
  if (!plan.inputByContent && plan.inputContainer == Container::Raw) SettleInputContainer(plan, false);
  return plan;
}

void SettleInputContainer(ConversionPlan& plan, bool startsWithY4mMagic) {
  plan.inputByContent = false;
  if (plan.inputContainer == Container::Y4m || startsWithY4mMagic) {
    plan.inputContainer = Container::Y4m;
    RequireI420(plan.from, "input");
    plan.from = PixelFormat::I420;
    if (plan.size) throw UsageError("--size does not apply to YUV4MPEG2 input: its header gives the size");
    return;
  }
  if (plan.from == PixelFormat::None) {
    throw UsageError("input format unknown: give -f FORMAT (" + KnownNames() + ")");
  }
  if (!plan.size) throw UsageError("missing frame size: give --size WxH for raw input");
  const std::string problem = PlanSizeProblem(plan, plan.size->width, plan.size->height);
  if (!problem.empty()) throw UsageError(problem);
}

std::string PlanSizeProblem(const ConversionPlan& plan, int32_t width, int32_t height) {
  std::string problem = SizeProblem(plan.from, width, height);
  if (problem.empty()) problem = SizeProblem(plan.to, width, height);
  if (problem.empty()) problem = PairSizeProblem({plan.from, plan.to}, width, height);
  // PNG images are made from BGRA frames.
  if (problem.empty() && plan.outputContainer == Container::Png) {
    problem = SizeProblem(PixelFormat::BGRA, width, height);
    if (problem.empty()) problem = PairSizeProblem({plan.to, PixelFormat::BGRA}, width, height);
  }
  return problem;
}

bool InvolvesBgra(const ConversionPlan& plan) {
  return plan.from == PixelFormat::BGRA || plan.to == PixelFormat::BGRA || plan.outputContainer == Container::Png;
}

}  // namespace pellix::convert
