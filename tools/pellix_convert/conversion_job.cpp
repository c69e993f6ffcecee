#include "tools/pellix_convert/conversion_job.h"

#include <memory>
#include <optional>
#include <vector>

#include "tools/pellix_convert/atomic_output.h"
#include "tools/pellix_convert/frame_files.h"
#include "tools/pellix_convert/plugin_conversion.h"
#include "tools/pellix_convert/png_writer.h"
#include "tools/pellix_convert/progress.h"
#include "tools/pellix_convert/raw_io.h"
#include "tools/pellix_convert/tool_error.h"
#include "tools/pellix_convert/y4m.h"

namespace pellix::convert {
namespace {

// Frames from either kind of input, one interface for the loop below.
class FrameSource {
 public:
  FrameSource(const ConversionPlan& plan, InputStream& input) {
    if (plan.inputContainer == Container::Y4m) {
      y4m_.emplace(input);
      header_ = y4m_->header();
      const std::string problem = PlanSizeProblem(plan, header_.width, header_.height);
      if (!problem.empty()) throw ToolError("YUV4MPEG2 input " + input.name() + ": " + problem);
      frameBytes_ = y4m_->frameBytes();
    } else {
      header_.width = plan.size->width;
      header_.height = plan.size->height;
      frameBytes_ = FileLayout(plan.from, header_.width, header_.height).packedBytes();
      raw_.emplace(input, frameBytes_);
    }
  }

  bool read(uint8_t* frame) { return y4m_ ? y4m_->readFrame(frame) : raw_->readFrame(frame); }
  std::optional<uint64_t> framesRemaining() const {
    return y4m_ ? y4m_->framesRemaining() : raw_->framesRemaining();
  }
  // Size and timing of the stream, as a YUV4MPEG2 output repeats them.
  const Y4mHeader& header() const { return header_; }
  uint64_t frameBytes() const { return frameBytes_; }

 private:
  std::optional<Y4mReader> y4m_;
  std::optional<RawFrameReader> raw_;
  Y4mHeader header_;
  uint64_t frameBytes_ = 0;
};

void WriteDisplayPng(const std::string& path, bool overwrite, PluginConversion* toBgra, const uint8_t* frame,
                     int32_t width, int32_t height, std::vector<uint8_t>& scratch) {
  const uint8_t* bgra = frame;
  if (toBgra != nullptr) {
    toBgra->convert(frame, scratch);
    bgra = scratch.data();
  }
  WritePng(path, overwrite, bgra, width, height, 4 * static_cast<uint64_t>(width));
}

}  // namespace

void RunConversion(const ConversionPlan& plan) {
  const bool png = plan.outputContainer == Container::Png;
  const bool onePng = png && !plan.everyFrame;
  // The output is claimed first, so a run whose output is not free stops
  // before any work.
  std::unique_ptr<OutputSink> output;
  if (png) {
    AtomicOutputFile::checkAvailable(onePng ? plan.output : NumberedName(plan.output, 0), plan.overwrite);
  } else {
    output = OpenOutput(plan.output, plan.overwrite);
  }
  const auto library = LoadPlugin(plan.pluginPath);
  InputStream input(plan.input);
  FrameSource source(plan, input);
  const int32_t width = source.header().width;
  const int32_t height = source.header().height;

  PluginConversion conversion(library, plan.from, plan.to, width, height);
  std::unique_ptr<PluginConversion> display;
  if (png && plan.to != PixelFormat::BGRA) {
    display = std::make_unique<PluginConversion>(library, plan.to, PixelFormat::BGRA, width, height);
  }
  std::optional<Y4mWriter> y4m;
  if (plan.outputContainer == Container::Y4m) y4m.emplace(*output, source.header());

  ProgressLine progress(!plan.quiet);
  progress.setTotal(source.framesRemaining());
  std::vector<uint8_t> in(source.frameBytes());
  std::vector<uint8_t> out;
  std::vector<uint8_t> scratch;
  uint64_t frames = 0;
  // One chosen image needs no frames after it.
  while ((!onePng || frames <= plan.pngFrame) && source.read(in.data())) {
    progress.update(frames);
    const uint64_t index = frames++;
    if (onePng && index != plan.pngFrame) continue;
    conversion.convert(in.data(), out);
    if (png) {
      WriteDisplayPng(onePng ? plan.output : NumberedName(plan.output, index), plan.overwrite, display.get(),
                      out.data(), width, height, scratch);
    } else if (y4m) {
      y4m->writeFrame(out.data(), out.size());
    } else {
      output->write(out.data(), out.size());
    }
  }
  progress.update(frames);
  progress.finish();
  if (frames == 0) throw ToolError("input " + input.name() + " holds no frames");
  if (onePng && frames <= plan.pngFrame) {
    throw ToolError("input " + input.name() + " has " + std::to_string(frames) + (frames == 1 ? " frame" : " frames") +
                    ": there is no frame " + std::to_string(plan.pngFrame));
  }
  if (output) output->commit();
}

}  // namespace pellix::convert
