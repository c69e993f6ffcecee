#include "component/ports.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "colorconv/routines.h"
#include "component/frame_data_size.h"

using Tessel::Frame;
using Tessel::Variant;
using Tessel::VariantType;
namespace PortMessage = Tessel::PortMessage;

namespace {

using Lock = boost::recursive_mutex::scoped_lock;

// Holds the one reference the pull owns on a frame, so that no path out of
// the pull (an exception from host code included) keeps it.
class FrameReference {
 public:
  explicit FrameReference(Frame* frame) : frame_(frame) {}
  ~FrameReference() { release(); }
  FrameReference(const FrameReference&) = delete;
  FrameReference& operator=(const FrameReference&) = delete;

  Frame* get() const { return frame_; }
  void release() {
    if (frame_ != nullptr) std::exchange(frame_, nullptr)->release();
  }
  Frame* handOver() { return std::exchange(frame_, nullptr); }

 private:
  Frame* frame_;
};

int32_t Magnitude(int32_t v) {
  // The most negative value has no positive counterpart; the nearest is kept.
  if (v == std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::max();
  return v < 0 ? -v : v;
}

}  // namespace

bool PellixColorTransform::announceImageFormat(Variant* value, bool absoluteSize) {
  if (value == nullptr || value->payload.pointer == nullptr) return false;
  imageProperties = *value->as<const Tessel::ImageProperties>();
  if (absoluteSize) {
    imageProperties.width = Magnitude(imageProperties.width);
    imageProperties.height = Magnitude(imageProperties.height);
  }
  // Before the output port is connected there is nobody to tell.
  if (downstreamPort == nullptr) return true;
  return downstreamPort->configure(PortMessage::ImageFormat, value);
}

// ---- Input: frames enter through here ----

bool PellixColorTransform::Input::query(uint32_t, Variant*) { return true; }

bool PellixColorTransform::Input::notify(uint32_t code, Variant* value) {
  if (code == PortMessage::Connect) {
    if (value == nullptr) return false;
    owner->upstreamPort = value->as<Tessel::PortInterface>();
    return true;
  }
  if (code == PortMessage::Disconnect) {
    Lock lock(owner->mutex);
    owner->upstreamPort = nullptr;
  }
  return true;
}

bool PellixColorTransform::Input::request(uint32_t, Variant*) { return false; }

bool PellixColorTransform::Input::configure(uint32_t code, Variant* value) {
  if (code != PortMessage::ImageFormat) return false;
  return owner->announceImageFormat(value, false);
}

// ---- Output: converted frames leave through here ----

bool PellixColorTransform::Output::query(uint32_t, Variant*) { return true; }

bool PellixColorTransform::Output::notify(uint32_t code, Variant* value) {
  switch (code) {
    case PortMessage::Connect:
      return connect(value);
    case PortMessage::Disconnect: {
      Lock lock(owner->mutex);
      owner->upstreamPort = nullptr;
      owner->converter = nullptr;
      return true;
    }
    case PortMessage::SetFrameAllocator:
      // Anything but an object pointer is ignored; the answer is true either way.
      if (value != nullptr && value->type == VariantType::ObjectPtr) {
        owner->frameAllocator = value->as<Tessel::FrameAllocator>();
      }
      return true;
    default:
      return true;
  }
}

bool PellixColorTransform::Output::request(uint32_t code, Variant* value) {
  if (code != PortMessage::PullFrame) return false;
  return pullFrame(value);
}

bool PellixColorTransform::Output::configure(uint32_t code, Variant* value) {
  if (code != PortMessage::ImageFormat) return false;
  return owner->announceImageFormat(value, true);
}

bool PellixColorTransform::Output::connect(Variant* value) {
  if (value == nullptr) return false;
  owner->downstreamPort = value->as<Tessel::PortInterface>();
  // Runs on every connect, whether or not the pair has a converter.
  pellix::InitColorConversion();
  const pellix::FrameConverter chosen = pellix::FrameConverterFor(owner->inputFormat, owner->outputFormat);
  if (chosen == nullptr) return false;
  owner->converter = chosen;
  return true;
}

bool PellixColorTransform::Output::pullFrame(Variant* value) {
  if (value == nullptr) return false;
  PellixColorTransform& o = *owner;
  Lock lock(o.mutex);
  if (o.upstreamPort == nullptr || o.converter == nullptr || o.frameAllocator == nullptr) return false;
  // Taken now: the upstream port may call back on this thread (the mutex is
  // recursive) and disconnect, which clears the member.
  const pellix::FrameConverter convert = o.converter;
  Tessel::FrameAllocator* const allocator = o.frameAllocator;
  if (o.inputFormat == o.outputFormat) return o.upstreamPort->request(PortMessage::PullFrame, value);

  Variant incoming;
  if (!o.upstreamPort->request(PortMessage::PullFrame, &incoming)) return false;
  FrameReference source(incoming.as<Frame>());
  if (source.get() == nullptr) return false;

  allocator->setBitsPerPixel(o.outputBitsPerPixel);
  const Tessel::ImageProperties& sourceImage = source.get()->imageProperties;
  FrameReference destination(allocator->allocateFrame(sourceImage.width, sourceImage.height, 1));
  if (destination.get() == nullptr) return false;

  const uint8_t interlaced = o.scanType != 1 ? 1 : 0;
  if (!convert(source.get(), &o.imageProperties, interlaced, destination.get())) {
    source.release();
    destination.release();
    return false;
  }

  Frame* converted = destination.get();
  const Tessel::ImageProperties& convertedImage = converted->imageProperties;
  // Never more valid bytes than the buffer holds: at odd sizes a planar
  // frame's planes end before bits x width x height / 8, and a host may size
  // its buffers to the planes.
  converted->dataSize() = std::min(
      pellix::FrameDataSize(o.outputBitsPerPixel, convertedImage.width, convertedImage.height), converted->capacity);
  converted->attribute0 = source.get()->attribute0;
  converted->attribute1 = source.get()->attribute1;
  value->setPointer(VariantType::ObjectPtr, destination.handOver());
  source.release();
  return true;
}
