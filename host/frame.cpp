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
  FrameMemory& memory = options_.memory ? *options_.memory : HeapFrameMemory();
  storage_ = memory.allocate(capacity);
  buffer_ = storage_->data();
}

void HostFrame::freeBuffer() {
  storage_.reset();
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
  return buffer_ == nullptr ? nullptr : storage_->lockedData();
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
