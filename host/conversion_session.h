// A complete graph around one component: source port -> component -> sink
// port, with a frame allocator, wired in the order the plug-in expects:
// _getPlugin, query the transform interface, create the input port and the
// output port by format name (kind 2), Connect the input port to the source
// and the output port to the sink, SetFrameAllocator, announce the image
// format. pull() then converts one frame. Destruction disconnects both ports,
// destroys them and releases the component; no frame is leaked or released
// twice on any path, also when construction fails half-way.
//
// Typical use:
//   auto library = std::make_shared<PluginLibrary>(PluginLibrary::defaultPath());
//   SessionOptions options;
//   options.inputFormat = "I420"; options.outputFormat = "BGRA";
//   options.width = 640; options.height = 480;
//   options.fill = [](HostFrame& f, const FrameLayout& l, uint64_t i) { ... };
//   ConversionSession session(library, options);
//   FrameRef out = session.pull();   // throws HostError("pull failed ...")
//   FrameLayout where = session.outputLayout(*out);
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "host/frame_allocator.h"
#include "host/frame_layout.h"
#include "host/frame_ledger.h"
#include "host/frame_producers.h"
#include "host/frame_ref.h"
#include "host/loaded_component.h"
#include "host/plugin_host.h"
#include "host/plugin_library.h"
#include "host/sink_port.h"
#include "host/source_port.h"

namespace pellix {

struct SessionOptions {
  std::string inputFormat;   // name given to createInputPort, e.g. "I420", "IYUV"
  std::string outputFormat;  // name given to createOutputPort
  int32_t width = 0;         // of the source frames
  int32_t height = 0;
  int32_t sourceStride = 0;  // pixels; 0: DefaultStride(input format, width)
  // The description announced with ImageFormat; default: width, height and
  // source stride above.
  std::optional<Tessel::ImageProperties> announced;
  PortSide announceOn = PortSide::Output;  // the output port clears the signs
  FrameBufferOptions sourceBuffers;
  FrameAllocatorOptions outputFrames;
  // Given to the plug-in instead of the session's own allocator when set (it
  // must outlive the session); allocator() still answers the session's own.
  Tessel::FrameAllocator* frameAllocator = nullptr;
  // Source frames: `producer` if set; otherwise new frames of the source
  // layout filled by `fill` (zeros when unset).
  FrameProducer producer;
  FrameFiller fill;
};

class ConversionSession {
 public:
  // Builds and wires the graph; throws HostError naming the refused step,
  // e.g. "plug-in refused input port format \"XYZ\"" or
  // "output Connect refused: I420 -> I420". The ledger defaults to a new one.
  ConversionSession(std::shared_ptr<const PluginLibrary> library, SessionOptions options,
                    std::shared_ptr<FrameLedger> ledger = nullptr);
  // The stop sequence; never throws.
  ~ConversionSession();
  ConversionSession(const ConversionSession&) = delete;
  ConversionSession& operator=(const ConversionSession&) = delete;

  // One converted frame; throws HostError("pull failed: ...") when the output
  // port answers false, rethrowing a producer's exception as its cause.
  FrameRef pull();
  // One converted frame, or an empty FrameRef when the output port answers false.
  FrameRef tryPull();
  // Disconnect on both ports. Safe from another thread while a pull runs:
  // the plug-in waits for the pull to finish.
  void disconnect();

  // Layout of a frame the session produced or received (by its own
  // width, height and stride, PlaneRule::Destination, chroma rows placed as
  // the converter from the input format places them).
  FrameLayout outputLayout(const Tessel::Frame& frame) const;
  const FrameLayout& sourceLayout() const { return sourceLayout_; }
  PixelFormat inputFormat() const { return inputFormat_; }
  PixelFormat outputFormat() const { return outputFormat_; }

  LoadedComponent& component() { return *component_; }
  SourcePort& source() { return *source_; }
  SinkPort& sink() { return sink_; }
  HostFrameAllocator& allocator() { return *allocator_; }
  RecordingPluginHost& host() { return host_; }
  const std::shared_ptr<FrameLedger>& ledger() const { return ledger_; }

 private:
  std::shared_ptr<const PluginLibrary> library_;
  std::shared_ptr<FrameLedger> ledger_;
  PixelFormat inputFormat_ = PixelFormat::None;
  PixelFormat outputFormat_ = PixelFormat::None;
  FrameLayout sourceLayout_;
  // Declaration order is teardown order in reverse: the component goes first,
  // then the ports and frame sources it pointed to.
  RecordingPluginHost host_;
  std::shared_ptr<FramePool> sourcePool_;
  std::unique_ptr<HostFrameAllocator> allocator_;
  std::unique_ptr<SourcePort> source_;
  SinkPort sink_;
  std::unique_ptr<LoadedComponent> component_;
};

}  // namespace pellix
