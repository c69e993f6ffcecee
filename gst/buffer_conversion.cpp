#include "gst/buffer_conversion.h"

#include <new>
#include <optional>
#include <utility>

#include "formats/frame_rules.h"
#include "host/borrowed_frame.h"
#include "host/converted_frame.h"
#include "gst/buffer_layout.h"
#include "gst/format_map.h"
#include "host/host_error.h"

namespace pellix::gst {
namespace {

// Copies are the same size buffer after buffer: their memory is reused.
FrameBufferOptions RecycledBuffers() {
  FrameBufferOptions options;
  options.recycle = true;
  return options;
}

std::string Size(int32_t width, int32_t height) { return std::to_string(width) + "x" + std::to_string(height); }

Tessel::ImageProperties ImageOf(const FrameLayout& layout) {
  Tessel::ImageProperties image;
  image.width = layout.width;
  image.height = layout.height;
  image.stride = layout.stride;
  return image;
}

uint8_t* FirstByte(const GstVideoFrame& frame) { return static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)); }

// The frame the plug-in delivered has exactly the planned layout.
bool MatchesPlan(const Tessel::Frame& frame, const FrameLayout& layout) {
  const Tessel::ImageProperties& image = frame.imageProperties;
  return image.width == layout.width && image.height == layout.height && image.stride == layout.stride;
}

}  // namespace

BufferConversion::BufferConversion(std::shared_ptr<const PluginLibrary> library, std::shared_ptr<FrameLedger> ledger,
                                   const ConversionFormats& formats)
    : formats_(formats),
      ledger_(std::move(ledger)),
      sourceCopies_(ledger_, RecycledBuffers()),
      allocator_(ledger_, RecycledBuffers()),
      pending_(std::make_shared<FrameRef>()) {
  SessionOptions options;
  options.inputFormat = PortFormatName(formats.input);
  options.outputFormat = PortFormatName(formats.output);
  const FrameSize frames = PluginFrameSize(formats.input, formats.output, formats.width, formats.height);
  options.width = frames.width;
  options.height = frames.height;
  options.sourceStride = CopyStride(formats.input, formats.output, frames.width);
  options.producer = [pending = pending_]() -> Tessel::Frame* { return pending->detach(); };
  session_ = std::make_unique<ConversionSession>(std::move(library), std::move(options), ledger_);
  // The session handed the plug-in an allocator of its own; the plug-in
  // keeps the last one it is given.
  if (!session_->component().setFrameAllocator(&allocator_)) throw HostError("SetFrameAllocator refused");
}

BufferConversion::~BufferConversion() = default;

std::string BufferConversion::describe(const FramePlan& plan) const {
  return std::string(FormatName(formats_.input)) + " " + Size(formats_.width, formats_.height) + " to " +
         FormatName(formats_.output) + " (frames of stride " + std::to_string(plan.stride) + ")";
}

std::string BufferConversion::convert(const GstVideoFrame& input, GstVideoFrame& output) {
  for (const GstVideoFrame* frame : {&input, static_cast<const GstVideoFrame*>(&output)}) {
    if (GST_VIDEO_FRAME_WIDTH(frame) != formats_.width || GST_VIDEO_FRAME_HEIGHT(frame) != formats_.height) {
      return "a buffer of " + Size(GST_VIDEO_FRAME_WIDTH(frame), GST_VIDEO_FRAME_HEIGHT(frame)) +
             " where the caps say " + Size(formats_.width, formats_.height);
    }
  }
  const FramePlan plan = PlanFrames(formats_.input, input, formats_.output, output);
  if (!FitsInAFrame(plan.input.bytes) || !FitsInAFrame(plan.output.bytes)) {
    return "frames of " + describe(plan) + " exceed the 4 GiB a frame of the plug-in can hold";
  }
  const auto inputBytes = static_cast<uint32_t>(plan.input.bytes);
  const auto outputBytes = static_cast<uint32_t>(plan.output.bytes);

  // Frames over the buffers themselves outlive every reference to them
  // (declared before the references, so destroyed after them).
  std::optional<BorrowedFrame> inputInPlace;
  std::optional<BorrowedFrame> outputInPlace;
  FrameRef source;
  FrameRef destination;
  try {
    if (plan.wrapInput) {
      source = FrameRef(&inputInPlace.emplace(*ledger_, FirstByte(input), inputBytes, ImageOf(plan.input),
                                              "input buffer " + describe(plan)));
    } else {
      HostFrame* copy = sourceCopies_.acquire(inputBytes, ImageOf(plan.input));
      source = FrameRef(copy);
      copy->dataSize() = inputBytes;
      CopyIntoLayout(input, plan.input, copy->data());
    }
    if (plan.wrapOutput) {
      destination = FrameRef(&outputInPlace.emplace(*ledger_, FirstByte(output), outputBytes, ImageOf(plan.output),
                                                    "output buffer " + describe(plan)));
    }
  } catch (const std::bad_alloc&) {
    return "no memory for a copy of " + describe(plan);
  }

  allocator_.arm(plan.output, std::move(destination));
  *pending_ = source.share();
  FrameRef converted = session_->tryPull();
  allocator_.disarm();
  pending_->reset();

  if (!converted) return "the plug-in refused to convert " + describe(plan);
  if (converted.get() == source.get()) return "the plug-in handed back its source frame for " + describe(plan);
  if (outputInPlace) {
    if (converted.get() != &*outputInPlace) return "the plug-in delivered a frame it was not given for " + describe(plan);
    return {};
  }
  const ConvertedFrameFault fault =
      !MatchesPlan(*converted, plan.output)
          ? ConvertedFrameFault::TooSmall
          : ReadConvertedFrame(*converted, plan.output,
                               [&](const uint8_t* pixels) { CopyOutOfLayout(pixels, plan.output, output); });
  if (fault == ConvertedFrameFault::TooSmall) return "the plug-in delivered a frame of another size for " + describe(plan);
  if (fault == ConvertedFrameFault::NoPixels) return "the plug-in delivered a frame without pixels for " + describe(plan);
  return {};
}

}  // namespace pellix::gst
