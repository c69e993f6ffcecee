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

bool NamesY4m(const std::string& format) {
  return strcasecmp(format.c_str(), "y4m") == 0 || strcasecmp(format.c_str(), "yuv4mpegpipe") == 0;
}

PixelFormat RequireFormat(const std::string& name, const char* side) {
  const auto format = FormatFromCommandLineName(name);
  if (!format) {
    throw UsageError("unknown " + std::string(side) + " format '" + name + "' (known: " + CommandLineFormatNames() +
                     ", y4m)");
  }
  return *format;
}

}  // namespace

ConversionPlan PlanConversion(const Options& options) {
  ConversionPlan plan;
  plan.input = options.input;
  plan.overwrite = options.overwrite;
  plan.quiet = options.quiet;
  plan.pluginPath = options.pluginPath;
  if (options.patternFrames) throw UsageError("--frames applies to the built-in test pattern only");

  // Input: YUV4MPEG2 by name or by extension; raw frames otherwise.
  if (NamesY4m(options.from) || (options.from.empty() && EndsWith(options.input, ".y4m"))) {
    plan.inputContainer = Container::Y4m;
    plan.from = PixelFormat::I420;
    if (options.size) throw UsageError("--size does not apply to YUV4MPEG2 input: its header gives the size");
  } else {
    if (!options.from.empty()) {
      plan.from = RequireFormat(options.from, "input");
    } else if (const auto guessed = FormatFromFileName(options.input)) {
      plan.from = *guessed;
    } else {
      throw UsageError("input format unknown: give -f FORMAT (" + CommandLineFormatNames() + ", y4m)");
    }
    if (!options.size) throw UsageError("missing frame size: give --size WxH for raw input");
    plan.size = options.size;
  }

  // Output.
  if (options.output.empty()) throw UsageError("missing output: give -o PATH (or -o - for standard output)");
  plan.output = options.output;
  if (NamesY4m(options.to) || EndsWith(options.output, ".y4m")) {
    plan.outputContainer = Container::Y4m;
    plan.to = PixelFormat::I420;
    if (!options.to.empty() && !NamesY4m(options.to) && RequireFormat(options.to, "output") != PixelFormat::I420) {
      throw UsageError("YUV4MPEG2 output carries I420 only, not " + options.to);
    }
  } else if (EndsWith(options.output, ".png")) {
    plan.outputContainer = Container::Png;
    plan.to = options.to.empty() ? PixelFormat::BGRA : RequireFormat(options.to, "output");
  } else if (!options.to.empty()) {
    plan.to = RequireFormat(options.to, "output");
  } else if (const auto guessed = FormatFromFileName(options.output)) {
    plan.to = *guessed;
  } else {
    throw UsageError("output format unknown: give -t FORMAT (" + CommandLineFormatNames() + ", y4m)");
  }

  if (plan.outputContainer == Container::Png) {
    if (plan.output == "-") throw UsageError("PNG output needs a file name, not standard output");
    if (options.pngFrame && options.everyFrame) throw UsageError("give either --frame or --every-frame, not both");
    plan.pngFrame = static_cast<uint64_t>(options.pngFrame.value_or(0));
    plan.everyFrame = options.everyFrame;
  } else if (options.pngFrame || options.everyFrame) {
    throw UsageError(std::string(options.pngFrame ? "--frame" : "--every-frame") + " applies to PNG output only");
  }

  if (plan.size) {
    const std::string problem = PlanSizeProblem(plan, plan.size->width, plan.size->height);
    if (!problem.empty()) throw UsageError(problem);
  }
  return plan;
}

std::string PlanSizeProblem(const ConversionPlan& plan, int32_t width, int32_t height) {
  std::string problem = SizeProblem(plan.from, width, height);
  if (problem.empty()) problem = SizeProblem(plan.to, width, height);
  // PNG images are made from BGRA frames.
  if (problem.empty() && plan.outputContainer == Container::Png) problem = SizeProblem(PixelFormat::BGRA, width, height);
  return problem;
}

}  // namespace pellix::convert
