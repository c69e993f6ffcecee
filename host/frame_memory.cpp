#include "host/frame_memory.h"

namespace pellix {

namespace {

class HeapBuffer final : public FrameBuffer {
 public:
  // One byte at least, so even an empty frame has a distinct address.
  explicit HeapBuffer(size_t bytes) : bytes_(new uint8_t[bytes == 0 ? 1 : bytes]()) {}
  uint8_t* data() override { return bytes_.get(); }

 private:
  std::unique_ptr<uint8_t[]> bytes_;
};

class HeapMemory final : public FrameMemory {
 public:
  std::unique_ptr<FrameBuffer> allocate(size_t bytes) override { return std::make_unique<HeapBuffer>(bytes); }
};

}  // namespace

FrameMemory& HeapFrameMemory() {
  static HeapMemory memory;
  return memory;
}

}  // namespace pellix
