#include "tools/pellix_convert/conversion_job.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "tools/pellix_convert/frame_files.h"
#include "tools/pellix_convert/output_file.h"
#include "tools/pellix_convert/plugin_conversion.h"
#include "tools/pellix_convert/png_writer.h"
#include "tools/pellix_convert/progress.h"
#include "tools/pellix_convert/raw_io.h"
#include "tools/pellix_convert/seek_time.h"
#include "tools/pellix_convert/size_and_rate.h"
#include "tools/pellix_convert/tool_error.h"
#include "tools/pellix_convert/y4m.h"

namespace pellix::convert {
namespace {

std::string FrameCount(uint64_t frames) { return std::to_string(frames) + (frames == 1 ? " frame" : " frames"); }

// Frames from either kind of input, one interface for the loop below.
class FrameSource {
 public:
  FrameSource(const ConversionPlan& plan, InputStream& input) : input_(input) {
    if (plan.inputContainer == Container::Y4m) {
      y4m_.emplace(input);
      header_ = y4m_->header();
      const std::string problem = PlanSizeProblem(plan, header_.width, header_.height);
      if (!problem.empty()) throw ToolError("YUV4MPEG2 input " + input.name() + ": " + problem);
      if (header_.fullRange() && InvolvesBgra(plan)) {
        throw ToolError("YUV4MPEG2 input " + input.name() +
                        " is full range (XCOLORRANGE=FULL, FFmpeg's yuvj420p) but the plug-in converts BT.601 "
                        "video range only, so its BGRA would be off by up to 20 levels: convert the range "
                        "first, e.g. ffmpeg -i IN -vf scale=out_range=tv -pix_fmt yuv420p -f yuv4mpegpipe -");
      }
      frameBytes_ = y4m_->frameBytes();
    } else {
      // Raw frames carry no rate, no siting and no range: the defaults.
      header_.width = plan.size->width;
      header_.height = plan.size->height;
      frameBytes_ = FileLayout(plan.from, header_.width, header_.height).packedBytes();
      raw_.emplace(input, frameBytes_);
    }
    if (plan.rate) header_.frameRate = *plan.rate;
  }

  bool read(uint8_t* frame) { return y4m_ ? y4m_->readFrame(frame) : raw_->readFrame(frame); }

  // Passes over the first `count` frames; throws when that leaves none
  // (where the input's length is known, before reading any).
  void skip(uint64_t count) {
    if (count == 0) return;
    uint64_t skipped = 0;
    if (raw_) {
      if (const std::optional<uint64_t> available = raw_->framesRemaining()) {
        if (*available <= count) NothingAfterStart(*available, count);
        input_.skip(count * frameBytes_);
        skipped = count;
      }
    }
    std::vector<uint8_t> scratch(frameBytes_);
    while (skipped < count && read(scratch.data())) ++skipped;
    if (skipped < count) NothingAfterStart(skipped, count);
  }

  [[noreturn]] void NothingAfterStart(uint64_t available, uint64_t start) const {
    throw ToolError("input " + input_.name() + " has " + FrameCount(available) + ": --start " +
                    std::to_string(start) + " leaves none to convert");
  }

  std::optional<uint64_t> framesRemaining() const {
    return y4m_ ? y4m_->framesRemaining() : raw_->framesRemaining();
  }
  // Size, timing and sample description of the stream, as a YUV4MPEG2
  // output repeats them.
  const Y4mHeader& header() const { return header_; }
  uint64_t frameBytes() const { return frameBytes_; }

 private:
  InputStream& input_;
  std::optional<Y4mReader> y4m_;
  std::optional<RawFrameReader> raw_;
  Y4mHeader header_;
  uint64_t frameBytes_ = 0;
};

// The first frame at or after -ss, by the stream's rate ("N:D").
uint64_t StartOfSeek(const SeekTime& time, const std::string& rate, const std::string& input) {
  const size_t colon = rate.find(':');
  const auto numerator = ParseDecimal(rate.substr(0, colon), 1, INT32_MAX);
  const auto denominator = colon == std::string::npos ? std::nullopt : ParseDecimal(rate.substr(colon + 1), 1, INT32_MAX);
  if (!numerator || !denominator) {
    throw UsageError("-ss needs the frame rate of input " + input + ", which is unknown (F" + rate +
                     "): give -r RATE, or --start N to count frames");
  }
  return static_cast<uint64_t>(FirstFrameAt(time, *numerator, *denominator));
}

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

void RunConversion(ConversionPlan plan) {
  InputStream input(plan.input);
  if (plan.inputByContent) SettleInputContainer(plan, StartsWithY4mMagic(input));
  // No output may be the input, under any name; checked now, before the
  // output is claimed, and again when each output file is put in place.
  if (input.file()) OutputFile::protectInput(*input.file(), input.name());

  const bool png = plan.outputContainer == Container::Png;
  const bool onePng = png && !plan.everyFrame;
  // The output is claimed first, so a run whose output is not free stops
  // before any work.
  std::unique_ptr<OutputFile> output;
  if (png) {
    OutputFile::checkAvailable(onePng ? plan.output : NumberedName(plan.output, 0), plan.overwrite);
  } else {
    output = OpenOutput(plan.output, plan.overwrite);
  }
  const auto library = LoadPlugin(plan.pluginPath);
  FrameSource source(plan, input);
  const int32_t width = source.header().width;
  const int32_t height = source.header().height;

  PluginConversion conversion(library, plan.from, plan.to, width, height, plan.threads);
  std::unique_ptr<PluginConversion> display;
  if (png && plan.to != PixelFormat::BGRA) {
    display = std::make_unique<PluginConversion>(library, plan.to, PixelFormat::BGRA, width, height);
  }
  std::optional<Y4mWriter> y4m;
  if (plan.outputContainer == Container::Y4m) y4m.emplace(*output, source.header());

  if (plan.seek) plan.start = StartOfSeek(*plan.seek, source.header().frameRate, input.name());
  source.skip(plan.start);
  // Frames to convert: at most --frames, and for one image up to it only.
  uint64_t limit = plan.frames.value_or(UINT64_MAX);
  if (onePng) limit = std::min(limit, plan.pngFrame + 1);
  ProgressLine progress(!plan.quiet);
  std::optional<uint64_t> total = source.framesRemaining();
  if (total) total = std::min(*total, limit);
  progress.setTotal(total);
  uint64_t frames = 0;
  try {
    if (png) {
      std::vector<uint8_t> in(source.frameBytes());
      std::vector<uint8_t> out;
      std::vector<uint8_t> scratch;
      while (frames < limit && source.read(in.data())) {
        progress.update(frames);
        const uint64_t index = frames++;
        if (onePng && index != plan.pngFrame) continue;
        conversion.convert(in.data(), out);
        WriteDisplayPng(onePng ? plan.output : NumberedName(plan.output, index), plan.overwrite, display.get(),
                        out.data(), width, height, scratch);
      }
    } else {
      // Streams: each frame read into the plug-in's frame and written from its
      // converted one.
      const PluginConversion::FrameReader read = [&](uint8_t* frame) { return source.read(frame); };
      const PluginConversion::FrameWriter write = [&](const uint8_t* frame, size_t size) {
        if (y4m) {
          y4m->writeFrame(frame, size);
        } else {
          output->write(frame, size);
        }
      };
      for (; frames < limit; ++frames) {
        progress.update(frames);
        if (!conversion.convert(read, write)) break;
      }
    }
  } catch (const TruncatedInput&) {
    progress.finish();
    // The whole frames before the cut are delivered: a stream has them
    // already, a file keeps them only when asked to.
    if (output && plan.keepPartial && frames > 0) output->commit();
    throw;
  }
  progress.update(frames);
  progress.finish();
  if (frames == 0 && plan.start > 0) source.NothingAfterStart(plan.start, plan.start);
  if (frames == 0) throw ToolError("input " + input.name() + " holds no frames");
  const std::string from = plan.start > 0 ? " from frame " + std::to_string(plan.start) + " on" : "";
  if (onePng && frames <= plan.pngFrame) {
    throw ToolError("input " + input.name() + " has " + FrameCount(frames) + from + ": there is no frame " +
                    std::to_string(plan.pngFrame));
  }
  if (output) output->commit();
}

}  // namespace pellix::convert
