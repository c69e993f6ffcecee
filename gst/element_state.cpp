#include "gst/element_state.h"

#include <utility>

#include "gst/buffer_layout.h"
#include "gst/frame_plan.h"
#include "host/host_error.h"
#include "host/loaded_component.h"
#include "host/plugin_host.h"

namespace pellix::gst {

ElementState::ElementState() : pluginPath_(PluginLibrary::defaultPath()) {}

std::string ElementState::pluginPath() const {
  std::lock_guard<std::mutex> lock(pathMutex_);
  return pluginPath_;
}

void ElementState::setPluginPath(std::string path) {
  std::lock_guard<std::mutex> lock(pathMutex_);
  pluginPath_ = std::move(path);
}

bool ElementState::firstRefusal(const std::string& why) {
  std::lock_guard<std::mutex> lock(refusalMutex_);
  if (why == lastRefusal_) return false;
  lastRefusal_ = why;
  return true;
}

void ElementState::forgetRefusal() {
  std::lock_guard<std::mutex> lock(refusalMutex_);
  lastRefusal_.clear();
}

bool ElementState::refused() {
  std::lock_guard<std::mutex> lock(refusalMutex_);
  return !lastRefusal_.empty();
}

void ElementState::load() {
  auto library = std::make_shared<const PluginLibrary>(pluginPath());
  {
    // _getPlugin answers and the transform interface is there.
    RecordingPluginHost host;
    LoadedComponent probe(*library, host);
  }
  library_ = std::move(library);
}

void ElementState::unload() {
  configure(std::nullopt);
  forgetRefusal();
  library_.reset();
}

void ElementState::configure(const std::optional<ConversionFormats>& formats) {
  releaseConversion();
  formats_ = formats;
  if (formats_) makeConversion();
}

void ElementState::releaseConversion() {
  conversion_.reset();
  bands_.reset();
  componentLive_ = false;
}

void ElementState::makeConversion() {
  if (!library_) throw HostError("no plug-in library is loaded");
  const ConversionFormats& formats = *formats_;
  const FrameSize frames = PluginFrameSize(formats.input, formats.output, formats.width, formats.height);
  // Bands copy GStreamer's rows as they are, so a conversion that runs on a
  // larger frame than GStreamer's (odd 4:2:0 sizes) stays whole.
  const bool banded = threads() != 1 && frames.width == formats.width && frames.height == formats.height;
  if (banded) {
    bands_ = std::make_unique<BandConversion>(library_, formats.input, formats.output, formats.width, formats.height,
                                              threads());
  } else {
    conversion_ = std::make_unique<BufferConversion>(library_, ledger_, formats);
  }
  componentLive_ = true;
  ++componentsMade_;
}

std::string ElementState::convert(const GstVideoFrame& input, GstVideoFrame& output) {
  if (!formats_) return "no conversion was negotiated";
  if (!conversion_ && !bands_) {
    try {
      makeConversion();
    } catch (const std::exception& error) {
      return error.what();
    }
  }
  if (conversion_) return conversion_->convert(input, output);
  for (const GstVideoFrame* frame : {&input, static_cast<const GstVideoFrame*>(&output)}) {
    if (GST_VIDEO_FRAME_WIDTH(frame) != formats_->width || GST_VIDEO_FRAME_HEIGHT(frame) != formats_->height) {
      return "a buffer of another size than the caps say";
    }
  }
  try {
    bands_->convert(SourcePlanesOf(input, formats_->input), DestinationPlanesOf(output, formats_->output));
  } catch (const std::exception& error) {
    return std::string("a band of the frame was not converted: ") + error.what();
  }
  return {};
}

}  // namespace pellix::gst
