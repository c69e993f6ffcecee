// A host frame for tests: pixel data in guard-page memory, so that any read
// or write outside `capacity` faults at once, and a record of lock calls.
#pragma once

#include <cstdint>
#include <vector>

#include "host/guarded_buffer.h"
#include "sdk/host.h"

namespace pellix {
namespace testing_support {

class TestFrame final : public Tessel::Frame {
 public:
  TestFrame(int32_t width, int32_t height, int32_t stride, size_t capacityBytes,
            GuardedBuffer::Edge edge = GuardedBuffer::Edge::End)
      : buffer_(capacityBytes, edge) {
    imageProperties.width = width;
    imageProperties.height = height;
    imageProperties.stride = stride;
    capacity = static_cast<uint32_t>(capacityBytes);
    dataSize() = capacity;
  }

  int32_t addRef() override { return ++references_; }
  int32_t release() override { return --references_; }
  uint8_t* lock() override {
    ++locks;
    return failLock ? nullptr : buffer_.data();
  }
  void unlock() override { ++unlocks; }

  uint8_t* bytes() const { return buffer_.data(); }
  size_t size() const { return buffer_.size(); }
  std::vector<uint8_t> contents() const { return {buffer_.data(), buffer_.data() + buffer_.size()}; }
  void assign(const std::vector<uint8_t>& bytes) {
    for (size_t i = 0; i < size() && i < bytes.size(); ++i) buffer_.data()[i] = bytes[i];
  }

  int locks = 0;
  int unlocks = 0;
  bool failLock = false;

 private:
  GuardedBuffer buffer_;
  int32_t references_ = 1;
};

// A byte pattern that differs from its neighbours, for canaries and prefills.
inline std::vector<uint8_t> Pattern(size_t size, uint32_t seed) {
  std::vector<uint8_t> bytes(size);
  uint32_t state = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    state = state * 1664525u + 1013904223u;
    b = static_cast<uint8_t>(state >> 24);
  }
  return bytes;
}

}  // namespace testing_support
}  // namespace pellix
