#include "host/conversion_session.h"

#include <cstdlib>
#include <limits>

#include "formats/format_names.h"
#include "formats/frame_rules.h"
#include "host/host_error.h"

namespace pellix {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

int32_t Magnitude(int32_t value) {
  return value == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max() : std::abs(value);
}

}  // namespace

ConversionSession::ConversionSession(std::shared_ptr<const PluginLibrary> library, SessionOptions options,
                                     std::shared_ptr<FrameLedger> ledger)
    : library_(std::move(library)), ledger_(std::move(ledger)) {
  if (!library_) throw HostError("no plug-in library given");
  if (!ledger_) ledger_ = std::make_shared<FrameLedger>();

  // Frame sources first: the component is torn down before them (member
  // order), so it never holds a pointer to a port or allocator that is gone.
  inputFormat_ = FormatFromPortName(options.inputFormat.c_str());
  outputFormat_ = FormatFromPortName(options.outputFormat.c_str());
  const int32_t stride =
      options.sourceStride > 0 ? options.sourceStride : DefaultStride(inputFormat_, options.width);
  sourceLayout_ = LayoutFor(inputFormat_, options.width, options.height, stride, PlaneRule::Source);
  sourcePool_ = std::make_shared<FramePool>(ledger_, options.sourceBuffers);
  FrameProducer producer = std::move(options.producer);
  if (!producer && inputFormat_ != PixelFormat::None) {
    if (options.width <= 0 || options.height <= 0) {
      throw HostError("source frames need a positive width and height, not " + std::to_string(options.width) +
                      "x" + std::to_string(options.height));
    }
    if (!FitsInAFrame(sourceLayout_.bytes)) {
      throw HostError("source frame of " + std::to_string(sourceLayout_.bytes) + " bytes exceeds 4 GiB");
    }
    producer = MakeFilledFrameProducer(sourcePool_, sourceLayout_, std::move(options.fill));
  }
  source_ = std::make_unique<SourcePort>(std::move(producer));
  allocator_ = std::make_unique<HostFrameAllocator>(ledger_, options.outputFrames);

  component_ = std::make_unique<LoadedComponent>(*library_, host_);
  LoadedComponent& component = *component_;
  if (component.createInputPort(options.inputFormat) == nullptr) {
    throw HostError("plug-in refused input port format " + Quoted(options.inputFormat));
  }
  if (component.createOutputPort(options.outputFormat) == nullptr) {
    throw HostError("plug-in refused output port format " + Quoted(options.outputFormat));
  }
  if (!component.connect(PortSide::Input, source_.get())) throw HostError("input Connect refused");
  sink_.attach(component.outputPort());
  if (!component.connect(PortSide::Output, &sink_)) {
    throw HostError("output Connect refused: " + options.inputFormat + " -> " + options.outputFormat);
  }
  Tessel::FrameAllocator* const frames = options.frameAllocator ? options.frameAllocator : allocator_.get();
  if (!component.setFrameAllocator(frames)) throw HostError("SetFrameAllocator refused");

  Tessel::ImageProperties announced;
  if (options.announced) {
    announced = *options.announced;
  } else {
    announced.width = options.width;
    announced.height = options.height;
    announced.stride = stride;
  }
  if (!component.announce(options.announceOn, announced)) {
    throw HostError(std::string("ImageFormat refused on the ") +
                    (options.announceOn == PortSide::Input ? "input" : "output") + " port");
  }
}

ConversionSession::~ConversionSession() {
  try {
    component_.reset();
  } catch (...) {
    // Nothing of the stop sequence throws; a destructor must not either.
  }
}

FrameRef ConversionSession::tryPull() { return sink_.pull(); }

FrameRef ConversionSession::pull() {
  FrameRef frame = sink_.pull();
  if (frame) return frame;
  if (std::exception_ptr error = source_->takeProducerError()) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& cause) {
      throw HostError(std::string("pull failed: the source producer threw: ") + cause.what());
    } catch (...) {
      throw HostError("pull failed: the source producer threw");
    }
  }
  throw HostError(std::string("pull failed: the output port answered false (") + FormatName(inputFormat_) +
                  " -> " + FormatName(outputFormat_) + ")");
}

void ConversionSession::disconnect() {
  component_->disconnect(PortSide::Input);
  component_->disconnect(PortSide::Output);
}

FrameLayout ConversionSession::outputLayout(const Tessel::Frame& frame) const {
  const Tessel::ImageProperties& image = frame.imageProperties;
  return LayoutFor(outputFormat_, Magnitude(image.width), Magnitude(image.height), image.stride,
                   PlaneRule::Destination, DestinationChromaRowRule(inputFormat_));
}

}  // namespace pellix
