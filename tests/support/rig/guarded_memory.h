// Frame memory for tests: every HostFrame buffer against an inaccessible
// page, so a stray read or write faults at once. It can be told to run out
// (the frame sources then refuse, as with an exhausted heap), and a frame in
// it can be made to refuse its locks.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "host/frame.h"
#include "host/frame_memory.h"
#include "tests/support/rig/guarded_buffer.h"

namespace pellix {

class GuardedFrameMemory final : public FrameMemory {
 public:
  explicit GuardedFrameMemory(GuardedBuffer::Edge edge = GuardedBuffer::Edge::End) : edge_(edge) {}

  // Throws std::bad_alloc while told to run out.
  std::unique_ptr<FrameBuffer> allocate(size_t bytes) override;

  // Run out from now on (true) or serve again (false).
  void setFailing(bool failing);
  // Serve this many more buffers, then run out.
  void failAfter(uint64_t successes);

 private:
  GuardedBuffer::Edge edge_;
  std::atomic<int64_t> successesLeft_{-1};  // -1: unlimited
};

// Buffer options of a pool whose frames are guarded as `edge` says.
FrameBufferOptions GuardedBuffers(GuardedBuffer::Edge edge = GuardedBuffer::Edge::End);

// While set, the frame's lock() answers null (still counted, so a caller
// that unlocks after a failed lock stays balanced). The frame's buffer must
// come from a GuardedFrameMemory; the setting stays with the buffer.
void SetLockFails(HostFrame& frame, bool fails);

}  // namespace pellix
