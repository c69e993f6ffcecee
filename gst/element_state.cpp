#include "gst/element_state.h"

#include <utility>

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
  componentLive_ = false;
}

void ElementState::makeConversion() {
  if (!library_) throw HostError("no plug-in library is loaded");
  conversion_ = std::make_unique<BufferConversion>(library_, ledger_, *formats_);
  componentLive_ = true;
  ++componentsMade_;
}

std::string ElementState::convert(const GstVideoFrame& input, GstVideoFrame& output) {
  if (!formats_) return "no conversion was negotiated";
  if (!conversion_) {
    try {
      makeConversion();
    } catch (const std::exception& error) {
      return error.what();
    }
  }
  return conversion_->convert(input, output);
}

}  // namespace pellix::gst
