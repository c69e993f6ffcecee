// The host's video frame: a reference-counted Tessel::Frame over a buffer it
// owns (plain heap memory unless its pool is given other memory). Frames are made
// and owned by a FramePool; release() of the last reference hands the frame
// back to its pool, which keeps the object so later misuse is detected and
// recorded in the ledger instead of touching freed memory.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "host/frame_memory.h"
#include "sdk/host.h"

namespace pellix {

class FramePool;
class FrameLedger;

// How a pool backs its frames.
struct FrameBufferOptions {
  // Where the buffers come from; null: the heap (HeapFrameMemory).
  std::shared_ptr<FrameMemory> memory;
  // Reuse released frames of the same capacity (fast, for loops). Off: every
  // frame is new and a released frame's buffer is freed at once, so a late
  // release or lock of it is always detected.
  bool recycle = false;
};

class HostFrame final : public Tessel::Frame {
 public:
  ~HostFrame() override;

  int32_t addRef() override;
  int32_t release() override;
  uint8_t* lock() override;  // null for a released frame (recorded as misuse)
  void unlock() override;

  // Host-side access to the pixels without lock accounting; null once released
  // without recycling.
  uint8_t* data() { return buffer_; }
  const uint8_t* data() const { return buffer_; }

  int32_t references() const { return references_.load(std::memory_order_acquire); }
  int32_t lockDepth() const { return lockDepth_.load(std::memory_order_acquire); }
  // lock() calls since the frame was handed out.
  uint64_t lockCalls() const { return lockCalls_.load(std::memory_order_acquire); }
  uint64_t ticket() const { return ticket_; }
  // The memory the pixels live in; null once released without recycling.
  FrameBuffer* buffer() { return storage_.get(); }

 private:
  friend class FramePool;
  HostFrame(FramePool* pool, FrameLedger* ledger, uint32_t capacityBytes, const FrameBufferOptions& options);
  void allocateBuffer();
  void freeBuffer();
  void reportMisuse(const std::string& what);

  FramePool* pool_;
  FrameLedger* ledger_;
  FrameBufferOptions options_;
  std::unique_ptr<FrameBuffer> storage_;
  uint8_t* buffer_ = nullptr;  // storage_->data(), kept for host-side access
  std::atomic<int32_t> references_{0};
  std::atomic<int32_t> lockDepth_{0};
  std::atomic<uint64_t> lockCalls_{0};
  uint64_t ticket_ = 0;
};

}  // namespace pellix
