#include "tools/pellix_convert/plugin_conversion.h"

#include <cstring>
#include <stdexcept>

#include "host/converted_frame.h"
#include "host/host_error.h"
#include "tools/pellix_convert/frame_files.h"
#include "tools/pellix_convert/interrupt.h"
#include "tools/pellix_convert/plugin_location.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

std::string PairName(PixelFormat from, PixelFormat to) {
  return std::string(FormatName(from)) + " to " + FormatName(to);
}

}  // namespace

std::shared_ptr<const PluginLibrary> LoadPlugin(const std::string& path) {
  // A name without a slash would make the loader search the library path
  // instead of opening the file the user named.
  const std::string file = path.empty()                          ? DefaultPluginPath()
                           : path.find('/') == std::string::npos ? "./" + path
                                                                 : path;
  try {
    return std::make_shared<const PluginLibrary>(file);
  } catch (const std::runtime_error& error) {
    throw ToolError(error.what());
  }
}

PluginConversion::PluginConversion(std::shared_ptr<const PluginLibrary> library, PixelFormat from, PixelFormat to,
                                   int32_t width, int32_t height, int32_t threads)
    : from_(from),
      to_(to),
      inputLayout_(FileLayout(from, width, height)),
      outputLayout_(FileLayout(to, width, height)) {
  if (from == to) return;
  if (threads != 1) {
    BandOptions bandOptions;
    bandOptions.onWorkerStart = LeaveInterruptsToMainThread;
    try {
      bands_ = std::make_unique<BandConversion>(library, from, to, width, height, threads, std::move(bandOptions));
    } catch (const HostError& error) {
      throw ToolError("cannot set up " + PairName(from, to) + " in the plug-in: " + error.what());
    }
    return;
  }
  SessionOptions options;
  options.inputFormat = FormatName(from);
  options.outputFormat = FormatName(to);
  options.width = width;
  options.height = height;
  options.sourceStride = PluginStride(width);
  options.outputFrames.stride = options.sourceStride;
  options.sourceBuffers.recycle = true;
  options.outputFrames.buffers.recycle = true;
  options.fill = [this](HostFrame& frame, const FrameLayout& layout, uint64_t) {
    try {
      if (SameLayout(layout, inputLayout_)) {
        readFrame_ = (*reader_)(frame.data());
      } else {
        inScratch_.resize(inputLayout_.packedBytes());
        readFrame_ = (*reader_)(inScratch_.data());
        if (readFrame_) CopyPixels(inScratch_.data(), inputLayout_, frame.data(), layout);
      }
    } catch (...) {
      readError_ = std::current_exception();
    }
  };
  try {
    session_ = std::make_unique<ConversionSession>(std::move(library), std::move(options));
  } catch (const HostError& error) {
    throw ToolError("cannot set up " + PairName(from, to) + " in the plug-in: " + error.what());
  }
}

void PluginConversion::convert(const uint8_t* in, std::vector<uint8_t>& out) {
  convert(
      [&](uint8_t* frame) {
        std::memcpy(frame, in, inputLayout_.packedBytes());
        return true;
      },
      [&](const uint8_t* frame, size_t size) { out.assign(frame, frame + size); });
}

bool PluginConversion::convert(const FrameReader& read, const FrameWriter& write) {
  if (bands_) {
    inScratch_.resize(inputLayout_.packedBytes());
    outScratch_.resize(outputLayout_.packedBytes());
    if (!read(inScratch_.data())) return false;
    SourcePlanes source;
    DestinationPlanes destination;
    for (int i = 0; i < inputLayout_.planeCount; ++i) {
      source.planes[i] = {inScratch_.data() + inputLayout_.planes[i].offset, inputLayout_.planes[i].pitch};
    }
    for (int i = 0; i < outputLayout_.planeCount; ++i) {
      destination.planes[i] = {outScratch_.data() + outputLayout_.planes[i].offset, outputLayout_.planes[i].pitch};
    }
    try {
      bands_->convert(source, destination);
    } catch (const HostError& error) {
      throw ToolError("the plug-in refused frame " + std::to_string(framesDone_) + " (" +
                      std::to_string(inputLayout_.width) + "x" + std::to_string(inputLayout_.height) + " " +
                      PairName(from_, to_) + "): " + error.what());
    }
    write(outScratch_.data(), outScratch_.size());
    ++framesDone_;
    return true;
  }
  if (!session_) {
    inScratch_.resize(inputLayout_.packedBytes());
    if (!read(inScratch_.data())) return false;
    write(inScratch_.data(), inScratch_.size());
    ++framesDone_;
    return true;
  }
  reader_ = &read;
  readFrame_ = false;
  readError_ = nullptr;
  FrameRef frame;
  try {
    frame = session_->pull();
  } catch (const HostError& error) {
    reader_ = nullptr;
    if (readError_) std::rethrow_exception(readError_);
    throw ToolError("the plug-in refused frame " + std::to_string(framesDone_) + " (" +
                    std::to_string(inputLayout_.width) + "x" + std::to_string(inputLayout_.height) + " " +
                    PairName(from_, to_) + "): " + error.what());
  }
  reader_ = nullptr;
  if (readError_) std::rethrow_exception(readError_);
  // The input had ended: the frame converted is not one of its frames.
  if (!readFrame_) return false;
  const FrameLayout converted = session_->outputLayout(*frame);
  const bool askedSize = converted.width == outputLayout_.width && converted.height == outputLayout_.height;
  const ConvertedFrameFault fault =
      !askedSize ? ConvertedFrameFault::TooSmall : ReadConvertedFrame(*frame, converted, [&](const uint8_t* pixels) {
        if (SameLayout(converted, outputLayout_)) {
          write(pixels, outputLayout_.packedBytes());
        } else {
          outScratch_.resize(outputLayout_.packedBytes());
          CopyPixels(pixels, converted, outScratch_.data(), outputLayout_);
          write(outScratch_.data(), outScratch_.size());
        }
      });
  if (fault == ConvertedFrameFault::TooSmall) {
    throw ToolError("the plug-in delivered a " + std::to_string(converted.width) + "x" +
                    std::to_string(converted.height) + " frame for frame " + std::to_string(framesDone_) + " of " +
                    std::to_string(outputLayout_.width) + "x" + std::to_string(outputLayout_.height));
  }
  if (fault == ConvertedFrameFault::NoPixels) throw ToolError("the plug-in delivered a frame that cannot be read");
  ++framesDone_;
  return true;
}

}  // namespace pellix::convert
