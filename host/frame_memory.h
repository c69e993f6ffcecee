// The memory behind a HostFrame's pixels. The host backs frames with plain
// heap memory; a test rig gives memory of its own (against a guard page, or
// that runs out or refuses locks on request) through FrameBufferOptions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace pellix {

class FrameBuffer {
 public:
  virtual ~FrameBuffer() = default;
  // The first byte; the same address for the buffer's whole life.
  virtual uint8_t* data() = 0;
  // What the frame's lock() hands out: data(), or null for a lock that fails.
  virtual uint8_t* lockedData() { return data(); }
};

class FrameMemory {
 public:
  virtual ~FrameMemory() = default;
  // `bytes` zero bytes at a distinct address (even for 0 bytes). Throws
  // std::bad_alloc when no memory can be had. Called from any thread.
  virtual std::unique_ptr<FrameBuffer> allocate(size_t bytes) = 0;
};

// Plain heap memory, the host's own.
FrameMemory& HeapFrameMemory();

}  // namespace pellix
