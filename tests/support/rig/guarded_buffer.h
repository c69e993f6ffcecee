// Memory whose first or last byte touches an inaccessible page, so that any
// read or write past the buffer faults at once instead of corrupting memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pellix {

class GuardedBuffer {
 public:
  enum class Edge {
    End,    // the buffer ends exactly at a guard page (catches overruns)
    Start,  // the buffer begins right after a guard page (catches underruns)
  };

  explicit GuardedBuffer(size_t size, Edge edge = Edge::End);
  ~GuardedBuffer();
  GuardedBuffer(const GuardedBuffer&) = delete;
  GuardedBuffer& operator=(const GuardedBuffer&) = delete;

  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  void* mapping_ = nullptr;
  size_t mappingSize_ = 0;
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace pellix
