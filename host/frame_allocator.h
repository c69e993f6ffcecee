// The host's Tessel::FrameAllocator: makes destination frames sized from the
// announced bits per pixel, with a configurable stride, in the memory its
// buffer options name.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "host/frame_pool.h"
#include "sdk/host.h"

namespace pellix {

struct FrameAllocatorOptions {
  // Fixed stride in pixels for every frame; 0 derives it from the width:
  // |width| + stridePadding, rounded up to even.
  int32_t stride = 0;
  // Pixels added to a derived stride (row padding).
  int32_t stridePadding = 0;
  // Bytes added to (negative: taken from) every frame's capacity, for a host
  // whose buffers are larger, or tighter, than bits x stride x height / 8.
  int64_t capacityAdjustment = 0;
  FrameBufferOptions buffers;
};

class HostFrameAllocator final : public Tessel::FrameAllocator {
 public:
  explicit HostFrameAllocator(std::shared_ptr<FrameLedger> ledger, FrameAllocatorOptions options = {});

  void setBitsPerPixel(int32_t bits) override;
  // A frame of |width| x |height| (its description keeps the signs given),
  // stride as configured (a derived stride is rounded up to even),
  // capacity CapacityFor(bits, stride, |height|) + capacityAdjustment (not
  // below 0). Null when no valid bits per pixel was announced (1 to 64),
  // when count is not 1, when the frame would exceed 4 GiB, or when memory
  // runs out.
  Tessel::Frame* allocateFrame(int32_t width, int32_t height, int32_t count) override;

  int32_t bitsPerPixel() const { return bits_.load(std::memory_order_relaxed); }
  uint64_t bitsAnnouncements() const { return announcements_.load(std::memory_order_relaxed); }
  uint64_t allocateCalls() const { return calls_.load(std::memory_order_relaxed); }
  uint64_t framesMade() const { return made_.load(std::memory_order_relaxed); }
  // The frame the last successful allocateFrame made; it stays readable
  // (without its buffer) after release.
  HostFrame* lastMade() const { return lastMade_.load(std::memory_order_acquire); }
  // Stride a frame of this width gets.
  int32_t strideFor(int32_t width) const;

  FramePool& pool() { return pool_; }

 private:
  FrameAllocatorOptions options_;
  FramePool pool_;
  std::atomic<int32_t> bits_{0};
  std::atomic<uint64_t> announcements_{0};
  std::atomic<uint64_t> calls_{0};
  std::atomic<uint64_t> made_{0};
  std::atomic<HostFrame*> lastMade_{nullptr};
};

}  // namespace pellix
