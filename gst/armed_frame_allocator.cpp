#include "gst/armed_frame_allocator.h"

#include <new>
#include <utility>

#include "formats/frame_rules.h"

namespace pellix::gst {
ArmedFrameAllocator::ArmedFrameAllocator(std::shared_ptr<FrameLedger> ledger, FrameBufferOptions buffers)
    : pool_(std::move(ledger), buffers) {}

void ArmedFrameAllocator::arm(const FrameLayout& layout, FrameRef frame) {
  layout_ = layout;
  frame_ = std::move(frame);
  armed_ = true;
}

void ArmedFrameAllocator::disarm() {
  armed_ = false;
  frame_.reset();
}

Tessel::Frame* ArmedFrameAllocator::allocateFrame(int32_t width, int32_t height, int32_t count) {
  if (!armed_ || count != 1 || width != layout_.width || height != layout_.height ||
      bits_ != BitsPerPixel(layout_.format)) {
    return nullptr;
  }
  armed_ = false;
  if (frame_) return frame_.detach();
  if (!FitsInAFrame(layout_.bytes)) return nullptr;
  Tessel::ImageProperties image;
  image.width = layout_.width;
  image.height = layout_.height;
  image.stride = layout_.stride;
  try {
    return pool_.acquire(static_cast<uint32_t>(layout_.bytes), image);
  } catch (const std::bad_alloc&) {
    // The plug-in sees an exhausted allocator as a refusal.
    return nullptr;
  }
}

}  // namespace pellix::gst
