#include "host/frame_allocator.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>

#include "formats/frame_rules.h"
#include "host/frame_layout.h"

namespace pellix {

HostFrameAllocator::HostFrameAllocator(std::shared_ptr<FrameLedger> ledger, FrameAllocatorOptions options)
    : options_(options), pool_(std::move(ledger), options.buffers) {}

void HostFrameAllocator::setBitsPerPixel(int32_t bits) {
  bits_.store(bits, std::memory_order_relaxed);
  announcements_.fetch_add(1, std::memory_order_relaxed);
}

int32_t HostFrameAllocator::strideFor(int32_t width) const {
  if (options_.stride > 0) return options_.stride;
  const int64_t magnitude = std::llabs(static_cast<int64_t>(width));
  int64_t stride = magnitude + std::max<int32_t>(options_.stridePadding, 0);
  // Even, whatever the format: a 4:2:2 row holds whole macropixels, and a
  // BGRA row converted from a 4:2:2 source receives both pixels of its last
  // macropixel.
  stride += stride & 1;
  return static_cast<int32_t>(std::min<int64_t>(stride, std::numeric_limits<int32_t>::max()));
}

Tessel::Frame* HostFrameAllocator::allocateFrame(int32_t width, int32_t height, int32_t count) {
  calls_.fetch_add(1, std::memory_order_relaxed);
  const int32_t bits = bits_.load(std::memory_order_relaxed);
  if (count != 1 || bits <= 0 || bits > 64) return nullptr;
  const int32_t stride = strideFor(width);
  const int64_t rows = std::llabs(static_cast<int64_t>(height));
  if (rows > std::numeric_limits<int32_t>::max()) return nullptr;
  const int64_t adjusted = static_cast<int64_t>(CapacityFor(bits, stride, static_cast<int32_t>(rows))) +
                           options_.capacityAdjustment;
  const uint64_t capacity = static_cast<uint64_t>(std::max<int64_t>(adjusted, 0));
  if (!FitsInAFrame(capacity)) return nullptr;

  Tessel::ImageProperties image;
  image.width = width;
  image.height = height;
  image.stride = stride;
  try {
    HostFrame* frame = pool_.acquire(static_cast<uint32_t>(capacity), image);
    made_.fetch_add(1, std::memory_order_relaxed);
    lastMade_.store(frame, std::memory_order_release);
    return frame;
  } catch (const std::bad_alloc&) {
    // The plug-in sees an exhausted allocator as a refusal, never an exception.
    return nullptr;
  }
}

}  // namespace pellix
