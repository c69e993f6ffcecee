// An allocator that records every call, to see which allocator a String uses
// and that it releases exactly what it made.
#pragma once

#include <cstdint>

#include "sdk/values.h"

template <class T>
class CountingAllocator : public Tessel::StandardAllocator<T> {
 public:
  T* allocate(int32_t count) override {
    ++allocations;
    lastCount = count;
    return Tessel::StandardAllocator<T>::allocate(count);
  }
  void deallocate(T* p) override {
    ++deallocations;
    Tessel::StandardAllocator<T>::deallocate(p);
  }

  int allocations = 0;
  int deallocations = 0;
  int32_t lastCount = -1;
};
