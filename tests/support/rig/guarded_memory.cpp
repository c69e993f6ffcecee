#include "tests/support/rig/guarded_memory.h"

#include <limits>
#include <new>
#include <stdexcept>

namespace pellix {

namespace {

class GuardedFrameBuffer final : public FrameBuffer {
 public:
  GuardedFrameBuffer(size_t bytes, GuardedBuffer::Edge edge) : memory_(bytes, edge) {}
  uint8_t* data() override { return memory_.data(); }
  uint8_t* lockedData() override { return refusesLocks_.load(std::memory_order_acquire) ? nullptr : data(); }
  void setRefusesLocks(bool refuses) { refusesLocks_.store(refuses, std::memory_order_release); }

 private:
  GuardedBuffer memory_;
  std::atomic<bool> refusesLocks_{false};
};

}  // namespace

std::unique_ptr<FrameBuffer> GuardedFrameMemory::allocate(size_t bytes) {
  int64_t left = successesLeft_.load();
  do {
    if (left == 0) throw std::bad_alloc();
  } while (left > 0 && !successesLeft_.compare_exchange_weak(left, left - 1));
  return std::make_unique<GuardedFrameBuffer>(bytes, edge_);
}

void GuardedFrameMemory::setFailing(bool failing) { successesLeft_.store(failing ? 0 : -1); }

void GuardedFrameMemory::failAfter(uint64_t successes) {
  const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  successesLeft_.store(static_cast<int64_t>(successes < limit ? successes : limit));
}

FrameBufferOptions GuardedBuffers(GuardedBuffer::Edge edge) {
  FrameBufferOptions options;
  options.memory = std::make_shared<GuardedFrameMemory>(edge);
  return options;
}

void SetLockFails(HostFrame& frame, bool fails) {
  auto* buffer = dynamic_cast<GuardedFrameBuffer*>(frame.buffer());
  if (buffer == nullptr) throw std::logic_error("SetLockFails: the frame has no guarded buffer");
  buffer->setRefusesLocks(fails);
}

}  // namespace pellix
