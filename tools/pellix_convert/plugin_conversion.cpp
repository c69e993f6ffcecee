#include "tools/pellix_convert/plugin_conversion.h"

#include <cstring>
#include <stdexcept>

#include "host/host_error.h"
#include "tools/pellix_convert/frame_files.h"
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
                                   int32_t width, int32_t height)
    : from_(from),
      to_(to),
      inputLayout_(FileLayout(from, width, height)),
      outputLayout_(FileLayout(to, width, height)) {
  if (from == to) return;
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
    CopyPixels(pending_, inputLayout_, frame.data(), layout);
  };
  try {
    session_ = std::make_unique<ConversionSession>(std::move(library), std::move(options));
  } catch (const HostError& error) {
    throw ToolError("cannot set up " + PairName(from, to) + " in the plug-in: " + error.what());
  }
}

void PluginConversion::convert(const uint8_t* in, std::vector<uint8_t>& out) {
  out.resize(outputLayout_.packedBytes());
  if (!session_) {
    std::memcpy(out.data(), in, out.size());
    ++framesDone_;
    return;
  }
  pending_ = in;
  FrameRef frame;
  try {
    frame = session_->pull();
  } catch (const HostError& error) {
    throw ToolError("the plug-in refused frame " + std::to_string(framesDone_) + " (" +
                    std::to_string(inputLayout_.width) + "x" + std::to_string(inputLayout_.height) + " " +
                    PairName(from_, to_) + "): " + error.what());
  }
  pending_ = nullptr;
  const FrameLayout converted = session_->outputLayout(*frame);
  if (converted.width != outputLayout_.width || converted.height != outputLayout_.height ||
      converted.bytes > frame->capacity) {
    throw ToolError("the plug-in delivered a " + std::to_string(converted.width) + "x" +
                    std::to_string(converted.height) + " frame for frame " + std::to_string(framesDone_) + " of " +
                    std::to_string(outputLayout_.width) + "x" + std::to_string(outputLayout_.height));
  }
  FrameLock lock(*frame);
  if (lock.data() == nullptr) throw ToolError("the plug-in delivered a frame that cannot be read");
  CopyPixels(lock.data(), converted, out.data(), outputLayout_);
  ++framesDone_;
}

}  // namespace pellix::convert
