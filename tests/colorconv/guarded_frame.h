// A frame for converter tests: the reference host's HostFrame over guard-page
// memory, so that any read or write outside the capacity it was made with
// faults at once. Each GuardedFrame has its own pool and ledger; when it goes
// it gives its reference up and checks that nothing else released the frame
// and that it was left unlocked.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "host/frame.h"
#include "host/frame_ledger.h"
#include "host/frame_pool.h"
#include "tests/support/rig/guarded_buffer.h"
#include "tests/support/rig/guarded_memory.h"

namespace pellix {
namespace testing_support {

class GuardedFrame {
 public:
  // width x height pixels, `stride` pixels per row, `capacity` bytes (also
  // its dataSize), every byte 0.
  GuardedFrame(int32_t width, int32_t height, int32_t stride, size_t capacity,
               GuardedBuffer::Edge edge = GuardedBuffer::Edge::End)
      : ledger_(std::make_shared<FrameLedger>()), size_(capacity) {
    pool_ = std::make_unique<FramePool>(ledger_, GuardedBuffers(edge));
    Tessel::ImageProperties image;
    image.width = width;
    image.height = height;
    image.stride = stride;
    frame_ = pool_->acquire(static_cast<uint32_t>(capacity), image);
    frame_->dataSize() = frame_->capacity;
  }
  GuardedFrame(GuardedFrame&& other) noexcept
      : ledger_(std::move(other.ledger_)), pool_(std::move(other.pool_)), frame_(other.frame_), size_(other.size_) {
    other.frame_ = nullptr;
  }
  GuardedFrame(const GuardedFrame&) = delete;
  GuardedFrame& operator=(const GuardedFrame&) = delete;
  GuardedFrame& operator=(GuardedFrame&&) = delete;
  ~GuardedFrame() {
    if (frame_ == nullptr) return;
    EXPECT_EQ(frame_->lockDepth(), 0) << "the frame was left locked";
    frame_->release();
    const LedgerReport report = ledger_->report();
    EXPECT_TRUE(report.clean()) << report.describe();
  }

  // The frame to hand to a converter; its fields through ->.
  HostFrame* frame() const { return frame_; }
  HostFrame* operator->() const { return frame_; }

  // The whole buffer, as made (whatever a test later sets `capacity` to).
  uint8_t* bytes() const { return frame_->data(); }
  size_t size() const { return size_; }
  std::vector<uint8_t> contents() const { return {bytes(), bytes() + size_}; }
  // The first bytes of the buffer from `values` (as many as both hold).
  void assign(const std::vector<uint8_t>& values) {
    for (size_t i = 0; i < size_ && i < values.size(); ++i) bytes()[i] = values[i];
  }

 private:
  std::shared_ptr<FrameLedger> ledger_;
  std::unique_ptr<FramePool> pool_;
  HostFrame* frame_ = nullptr;
  size_t size_;
};

}  // namespace testing_support
}  // namespace pellix
