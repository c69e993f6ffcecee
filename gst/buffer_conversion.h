// One negotiated conversion: a session of the reference host around one
// component of the plug-in, created with ports for the two formats, and the
// frames that carry GStreamer buffers to it and back. convert() runs one pull
// per buffer. Everything it hands the plug-in is recorded in the ledger and
// released before convert() returns.
#pragma once

#include <gst/video/video.h>

#include <cstdint>
#include <memory>
#include <string>

#include "gst/armed_frame_allocator.h"
#include "gst/frame_plan.h"
#include "host/conversion_session.h"
#include "host/frame_ledger.h"
#include "host/frame_pool.h"
#include "host/frame_ref.h"
#include "host/plugin_library.h"

namespace pellix::gst {

struct ConversionFormats {
  PixelFormat input = PixelFormat::None;
  PixelFormat output = PixelFormat::None;
  int32_t width = 0;  // GStreamer's frames (the plug-in's: PluginFrameSize)
  int32_t height = 0;
};

class BufferConversion {
 public:
  // Creates and wires the component; throws HostError naming the step the
  // plug-in refused.
  BufferConversion(std::shared_ptr<const PluginLibrary> library, std::shared_ptr<FrameLedger> ledger,
                   const ConversionFormats& formats);
  ~BufferConversion();
  BufferConversion(const BufferConversion&) = delete;
  BufferConversion& operator=(const BufferConversion&) = delete;

  // Converts `input` into `output` (both mapped, of the negotiated formats and
  // size). Returns an empty string on success, or why nothing was converted.
  std::string convert(const GstVideoFrame& input, GstVideoFrame& output);

  const ConversionFormats& formats() const { return formats_; }

 private:
  std::string describe(const FramePlan& plan) const;

  ConversionFormats formats_;
  std::shared_ptr<FrameLedger> ledger_;
  FramePool sourceCopies_;
  ArmedFrameAllocator allocator_;
  // The frame the source port hands over on the next request.
  std::shared_ptr<FrameRef> pending_;
  // Last, so the component goes before the frame sources it points to.
  std::unique_ptr<ConversionSession> session_;
};

}  // namespace pellix::gst
