// A Tessel::Frame over memory the element has mapped from a GStreamer buffer,
// so the plug-in reads or writes the buffer in place. The frame owns nothing:
// it must be gone (every reference given up) before the buffer is unmapped,
// and it says so in the ledger when it is not. Hand-outs and releases are
// recorded in the same ledger as the reference host's own frames.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "host/frame_ledger.h"
#include "sdk/host.h"

namespace pellix::gst {

class BorrowedFrame final : public Tessel::Frame {
 public:
  // One reference, held by the creator. `what` describes the frame in ledger
  // reports.
  BorrowedFrame(FrameLedger& ledger, uint8_t* data, uint32_t capacity, const Tessel::ImageProperties& image,
                std::string what);
  // Records a problem when references or locks remain: the memory is about
  // to go back to GStreamer.
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

}  // namespace pellix::gst
