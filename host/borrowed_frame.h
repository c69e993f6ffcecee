// A Tessel::Frame over memory someone else owns, so the plug-in reads or
// writes it in place. The frame owns nothing: it must be gone (every
// reference given up) before the memory is, and it says so in the ledger
// when it is not. Hand-outs and releases are recorded in the same ledger as
// the host's own frames.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "host/frame_ledger.h"
#include "sdk/host.h"

namespace pellix {

class BorrowedFrame final : public Tessel::Frame {
 public:
  // One reference, held by the creator. `capacity` is exactly the bytes the
  // frame may touch from `data`, so the plug-in's frame checks guard the
  // memory around it. `what` describes the frame in ledger reports.
  BorrowedFrame(FrameLedger& ledger, uint8_t* data, uint32_t capacity, const Tessel::ImageProperties& image,
                std::string what);
  // Records a problem when references or locks remain.
  ~BorrowedFrame() override;

  int32_t addRef() override;
  int32_t release() override;
  uint8_t* lock() override;
  void unlock() override;

  int32_t references() const { return references_.load(std::memory_order_acquire); }

 private:
  FrameLedger& ledger_;
  uint8_t* data_;
  uint64_t ticket_;
  std::atomic<int32_t> references_{1};
  std::atomic<int32_t> lockDepth_{0};
};

}  // namespace pellix
