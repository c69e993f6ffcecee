#include "tests/component/test_doubles.h"

#include <algorithm>
#include <cstdlib>

namespace testing_doubles {

void RecordingHost::onPluginReleasing(Tessel::Plugin* plugin) {
  // The object is still alive here, so it may be asked for its count.
  events.push_back({"releasing", plugin, plugin->refCount()});
}

void RecordingHost::onPluginReleased(Tessel::Plugin* plugin) { events.push_back({"released", plugin, -1}); }

FakeFrame::FakeFrame(int32_t width, int32_t height, int32_t stride, uint32_t bytes) : pixels(bytes) {
  capacity = bytes;
  imageProperties.width = width;
  imageProperties.height = height;
  imageProperties.stride = stride;
}

int32_t FakeFrame::release() {
  ++releases;
  return --references;
}

uint8_t* FakeFrame::lock() {
  ++locks;
  return pixels.data();
}

FakeFrame* FrameLedger::make(int32_t width, int32_t height, int32_t stride, uint32_t bytes) {
  frames_.push_back(std::make_unique<FakeFrame>(width, height, stride, bytes));
  return frames_.back().get();
}

bool FrameLedger::everyFrameReleasedOnce() const {
  for (const auto& frame : frames_) {
    if (frame->releases != 1 || frame->references != 0 || frame->locks != frame->unlocks) return false;
  }
  return true;
}

uint32_t FrameBytes(int32_t bitsPerPixel, int32_t stride, int32_t height) {
  const uint64_t s = static_cast<uint64_t>(std::abs(stride));
  const uint64_t h = static_cast<uint64_t>(std::abs(height));
  if (bitsPerPixel == 12) {
    // The second chroma plane starts h*s + h*(s/4) bytes in for a source and
    // h*s + (h*s)/4 for a destination; room for the later of the two.
    const uint64_t second = std::max(s * h + h * (s / 4), s * h + (s * h) / 4);
    return static_cast<uint32_t>(second + (s / 2) * (h / 2));
  }
  return static_cast<uint32_t>(s * h * static_cast<uint64_t>(bitsPerPixel) / 8);
}

Tessel::Frame* FakeFrameAllocator::allocateFrame(int32_t width, int32_t height, int32_t count) {
  requests.push_back({width, height, count});
  if (refuse) return nullptr;
  const int32_t bits = announcedBits.empty() ? 32 : announcedBits.back();
  FakeFrame* frame = ledger_.make(width, height, std::abs(width), FrameBytes(bits, width, height));
  made.push_back(frame);
  return frame;
}

bool FakeUpstreamPort::request(uint32_t code, Tessel::Variant* value) {
  ++requests;
  lastVariant = value;
  if (code != kPullFrame) return false;
  if (duringRequest) duringRequest();
  if (!answer) return false;
  value->setPointer(Tessel::VariantType::ObjectPtr, produce ? produce() : nullptr);
  return true;
}

bool FakeDownstreamPort::configure(uint32_t code, Tessel::Variant* value) {
  codes.push_back(code);
  variants.push_back(value);
  seen.push_back(*value->as<const Tessel::ImageProperties>());
  return answer;
}

Tessel::Variant ObjectVariant(void* object) {
  Tessel::Variant v;
  v.setPointer(Tessel::VariantType::ObjectPtr, object);
  return v;
}

}  // namespace testing_doubles
