// Makes and owns HostFrames for one frame source (a source port's producer or
// a frame allocator), recording every hand-out and release in a ledger.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "host/frame.h"
#include "host/frame_ledger.h"

namespace pellix {

class FramePool {
 public:
  explicit FramePool(std::shared_ptr<FrameLedger> ledger, FrameBufferOptions options = {});
  // Frames still referenced are recorded as leaked in the ledger, then freed.
  ~FramePool();
  FramePool(const FramePool&) = delete;
  FramePool& operator=(const FramePool&) = delete;

  // A frame with `capacity` bytes and the given description, holding one
  // reference for the caller; dataSize and the attributes start at 0.
  // Throws std::bad_alloc when no memory can be had.
  HostFrame* acquire(uint32_t capacity, const Tessel::ImageProperties& image);

  const std::shared_ptr<FrameLedger>& ledger() const { return ledger_; }
  const FrameBufferOptions& options() const { return options_; }
  size_t framesOwned() const;
  // Whether the frame is one of this pool's.
  bool owns(const Tessel::Frame* frame) const;

 private:
  friend class HostFrame;
  void reclaim(HostFrame* frame);

  std::shared_ptr<FrameLedger> ledger_;
  FrameBufferOptions options_;
  mutable std::mutex mutex_;
  std::vector<std::unique_ptr<HostFrame>> frames_;
  std::vector<HostFrame*> idle_;  // released frames waiting for reuse
};

}  // namespace pellix
