#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <new>

#include "sdk/values.h"

namespace {

// Counts whose byte size needs more than 32 bits (for 16-bit units) or that
// are negative must fail instead of returning a short or wrapped buffer.
TEST(AllocatorTest, WideAllocatorRefusesCountsWhoseByteSizeOverflows) {
  Tessel::StandardAllocator<unsigned short> alloc;
  const int32_t counts[] = {std::numeric_limits<int32_t>::min(),  // 0x80000000: wraps to 0 bytes
                            static_cast<int32_t>(0x80000001u),   // wraps to 2 bytes
                            static_cast<int32_t>(0xC0000000u), -1};
  for (int32_t count : counts) {
    EXPECT_THROW(alloc.allocate(count), std::bad_alloc) << count;
  }
}

TEST(AllocatorTest, NarrowAllocatorRefusesNegativeCounts) {
  Tessel::StandardAllocator<char> alloc;
  for (int32_t count : {-1, -2, std::numeric_limits<int32_t>::min()}) {
    EXPECT_THROW(alloc.allocate(count), std::bad_alloc) << count;
  }
}

TEST(AllocatorTest, SmallCountsAreUsable) {
  Tessel::StandardAllocator<unsigned short> wide;
  unsigned short* units = wide.allocate(3);
  units[2] = 0xffff;
  wide.deallocate(units);
  Tessel::StandardAllocator<char> narrow;
  char* bytes = narrow.allocate(0);
  narrow.deallocate(bytes);
}

}  // namespace
