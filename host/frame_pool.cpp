#include "host/frame_pool.h"

#include <algorithm>
#include <string>

namespace pellix {

namespace {

std::string Describe(uint32_t capacity, const Tessel::ImageProperties& image) {
  return std::to_string(image.width) + "x" + std::to_string(image.height) + " stride " +
         std::to_string(image.stride) + ", " + std::to_string(capacity) + " bytes";
}

}  // namespace

FramePool::FramePool(std::shared_ptr<FrameLedger> ledger, FrameBufferOptions options)
    : ledger_(std::move(ledger)), options_(options) {
  if (!ledger_) ledger_ = std::make_shared<FrameLedger>();
}

// Frames still referenced stay listed as outstanding in the ledger; their
// objects go with the pool.
FramePool::~FramePool() = default;

HostFrame* FramePool::acquire(uint32_t capacity, const Tessel::ImageProperties& image) {
  HostFrame* frame = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto reusable = std::find_if(idle_.begin(), idle_.end(),
                                 [capacity](const HostFrame* f) { return f->capacity == capacity; });
    if (reusable != idle_.end()) {
      frame = *reusable;
      idle_.erase(reusable);
    } else {
      frames_.push_back(std::unique_ptr<HostFrame>(new HostFrame(this, ledger_.get(), capacity, options_)));
      frame = frames_.back().get();
    }
  }
  frame->imageProperties = image;
  frame->dataSize() = 0;
  frame->attribute0 = 0;
  frame->attribute1 = 0;
  frame->lockDepth_.store(0, std::memory_order_release);
  frame->lockCalls_.store(0, std::memory_order_release);
  frame->ticket_ = ledger_->noteHandedOut(Describe(capacity, image));
  frame->references_.store(1, std::memory_order_release);
  return frame;
}

void FramePool::reclaim(HostFrame* frame) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (options_.recycle) {
    idle_.push_back(frame);
  } else {
    frame->freeBuffer();
  }
}

bool FramePool::owns(const Tessel::Frame* frame) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::any_of(frames_.begin(), frames_.end(),
                     [frame](const std::unique_ptr<HostFrame>& f) { return f.get() == frame; });
}

size_t FramePool::framesOwned() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return frames_.size();
}

}  // namespace pellix
