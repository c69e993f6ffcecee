// The C++ side of one pellixconvert element: the plug-in library it loaded
// (from NULL to READY), the conversion of the negotiated caps, and the ledger
// of every frame it handed the plug-in. Library calls and errors stay here;
// the GObject side turns the answers into GStreamer's.
#pragma once

#include <gst/video/video.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "gst/buffer_conversion.h"
#include "host/band_conversion.h"
#include "host/frame_ledger.h"
#include "host/plugin_library.h"

namespace pellix::gst {

class ElementState {
 public:
  ElementState();

  std::string pluginPath() const;

  // Bands a frame is converted in, each by its own component on its own
  // thread (0: one per core); read when a conversion is made.
  int threads() const { return threads_.load(); }
  void setThreads(int threads) { threads_ = threads; }
  void setPluginPath(std::string path);

  // Loads the library at pluginPath() and makes one component of it to see
  // that it is a working plug-in. Throws std::exception saying why not.
  void load();
  // Releases the conversion and the library.
  void unload();

  // The conversion for newly negotiated caps (nothing: pass-through). The
  // earlier conversion, its ports and its component are gone first, so no
  // buffer is ever converted with ports of other caps. Throws HostError
  // naming the step the plug-in refused.
  void configure(const std::optional<ConversionFormats>& formats);
  // Gives up the component and its ports (flush, EOS, stop); the next buffer
  // of the same caps makes them again.
  void releaseConversion();
  // Converts one buffer; an empty string on success, otherwise why not.
  std::string convert(const GstVideoFrame& input, GstVideoFrame& output);

  // True the first time `why` is given since the last forgetRefusal() (or a
  // different refusal): each refusal is reported once.
  bool firstRefusal(const std::string& why);
  void forgetRefusal();
  // True when a refusal was given since the last forgetRefusal().
  bool refused();

  const std::shared_ptr<FrameLedger>& ledger() const { return ledger_; }
  uint64_t componentsMade() const { return componentsMade_.load(); }
  bool componentLive() const { return componentLive_.load(); }

 private:
  void makeConversion();

  mutable std::mutex pathMutex_;
  std::mutex refusalMutex_;
  std::string lastRefusal_;
  std::string pluginPath_;
  std::shared_ptr<const PluginLibrary> library_;
  std::shared_ptr<FrameLedger> ledger_ = std::make_shared<FrameLedger>();
  std::optional<ConversionFormats> formats_;
  std::atomic<int> threads_{1};
  // One of the two: the whole frame in one pull, or in bands.
  std::unique_ptr<BufferConversion> conversion_;
  std::unique_ptr<BandConversion> bands_;
  std::atomic<uint64_t> componentsMade_{0};
  std::atomic<bool> componentLive_{false};
};

}  // namespace pellix::gst
