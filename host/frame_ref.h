// RAII holders for frames handed across the plug-in boundary: FrameRef owns
// one reference and gives it up on destruction; FrameLock keeps a frame
// locked for a scope.
#pragma once

#include <cstdint>

#include "sdk/host.h"

namespace pellix {

class FrameRef {
 public:
  FrameRef() = default;
  // Takes over the reference the caller holds on `frame` (may be null).
  explicit FrameRef(Tessel::Frame* frame) : frame_(frame) {}
  ~FrameRef() { reset(); }
  FrameRef(FrameRef&& other) noexcept : frame_(other.frame_) { other.frame_ = nullptr; }
  FrameRef& operator=(FrameRef&& other) noexcept {
    if (this != &other) {
      reset();
      frame_ = other.frame_;
      other.frame_ = nullptr;
    }
    return *this;
  }
  FrameRef(const FrameRef&) = delete;
  FrameRef& operator=(const FrameRef&) = delete;

  // A new reference to the same frame (addRef).
  FrameRef share() const {
    if (frame_ != nullptr) frame_->addRef();
    return FrameRef(frame_);
  }

  Tessel::Frame* get() const { return frame_; }
  Tessel::Frame* operator->() const { return frame_; }
  Tessel::Frame& operator*() const { return *frame_; }
  explicit operator bool() const { return frame_ != nullptr; }

  // Hands the reference to the caller, who must release it.
  Tessel::Frame* detach() {
    Tessel::Frame* frame = frame_;
    frame_ = nullptr;
    return frame;
  }
  void reset() {
    if (frame_ != nullptr) detach()->release();
  }

 private:
  Tessel::Frame* frame_ = nullptr;
};

class FrameLock {
 public:
  explicit FrameLock(Tessel::Frame& frame) : frame_(frame), data_(frame.lock()) {}
  ~FrameLock() { frame_.unlock(); }
  FrameLock(const FrameLock&) = delete;
  FrameLock& operator=(const FrameLock&) = delete;

  uint8_t* data() const { return data_; }

 private:
  Tessel::Frame& frame_;
  uint8_t* data_;
};

}  // namespace pellix
