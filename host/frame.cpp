#include "host/frame.h"

#include "host/frame_ledger.h"
#include "host/frame_pool.h"

namespace pellix {

HostFrame::HostFrame(FramePool* pool, FrameLedger* ledger, uint32_t capacityBytes, const FrameBufferOptions& options)
    : pool_(pool), ledger_(ledger), options_(options) {
  capacity = capacityBytes;
  allocateBuffer();
}

HostFrame::~HostFrame() = default;

// Buffers start zeroed so a frame a converter leaves untouched reads the same
// on every run.
void HostFrame::allocateBuffer() {
  if (options_.guardPages) {
    guarded_ = std::make_unique<GuardedBuffer>(capacity, options_.guardEdge);
    buffer_ = guarded_->data();
  } else {
    // One byte at least, so even an empty frame has a distinct address.
    heap_.reset(new uint8_t[capacity == 0 ? 1 : capacity]());
    buffer_ = heap_.get();
  }
}

void HostFrame::freeBuffer() {
  guarded_.reset();
  heap_.reset();
  buffer_ = nullptr;
}

void HostFrame::reportMisuse(const std::string& what) { ledger_->noteProblem(ticket_, what); }

int32_t HostFrame::addRef() {
  int32_t current = references_.load(std::memory_order_acquire);
  do {
    if (current <= 0) {
      reportMisuse("addRef() after the last reference was given up");
      return 0;
    }
  } while (!references_.compare_exchange_weak(current, current + 1, std::memory_order_acq_rel));
  return current + 1;
}

int32_t HostFrame::release() {
  int32_t current = references_.load(std::memory_order_acquire);
  do {
    if (current <= 0) {
      reportMisuse("release() after the last reference was given up");
      return 0;
    }
  } while (!references_.compare_exchange_weak(current, current - 1, std::memory_order_acq_rel));
  if (current > 1) return current - 1;
  if (lockDepth_.load(std::memory_order_acquire) != 0) reportMisuse("last reference given up while locked");
  ledger_->noteReleased(ticket_);
  pool_->reclaim(this);
  return 0;
}

uint8_t* HostFrame::lock() {
  if (references_.load(std::memory_order_acquire) <= 0) reportMisuse("lock() after the last reference was given up");
  lockDepth_.fetch_add(1, std::memory_order_acq_rel);
  lockCalls_.fetch_add(1, std::memory_order_acq_rel);
  return lockFails_.load(std::memory_order_acquire) ? nullptr : buffer_;
}

void HostFrame::unlock() {
  int32_t depth = lockDepth_.load(std::memory_order_acquire);
  do {
    if (depth <= 0) {
      reportMisuse("unlock() without a matching lock()");
      return;
    }
  } while (!lockDepth_.compare_exchange_weak(depth, depth - 1, std::memory_order_acq_rel));
}

}  // namespace pellix
