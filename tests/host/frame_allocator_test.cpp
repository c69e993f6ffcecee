#include "host/frame_allocator.h"

#include <gtest/gtest.h>

#include "host/frame_ref.h"
#include "tests/support/rig/guarded_memory.h"

namespace pellix {
namespace {

struct SizeCase {
  const char* name;
  int32_t bits;
  int32_t width;
  int32_t height;
  FrameAllocatorOptions options;
  int32_t stride;
  uint32_t capacity;
};

FrameAllocatorOptions Stride(int32_t stride, int32_t padding = 0) {
  FrameAllocatorOptions options;
  options.stride = stride;
  options.stridePadding = padding;
  return options;
}

FrameAllocatorOptions Adjusted(int64_t bytes) {
  FrameAllocatorOptions options;
  options.capacityAdjustment = bytes;
  return options;
}

class AllocatorSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(AllocatorSizes, StrideAndCapacityFollowBitsPerPixel) {
  const SizeCase& c = GetParam();
  auto ledger = std::make_shared<FrameLedger>();
  HostFrameAllocator allocator(ledger, c.options);
  allocator.setBitsPerPixel(c.bits);
  FrameRef frame(allocator.allocateFrame(c.width, c.height, 1));
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->imageProperties.width, c.width);
  EXPECT_EQ(frame->imageProperties.height, c.height);
  EXPECT_EQ(frame->imageProperties.stride, c.stride);
  EXPECT_EQ(frame->capacity, c.capacity);
  EXPECT_EQ(frame->dataSize(), 0u);
  frame.reset();
  EXPECT_TRUE(ledger->report().clean());
}

INSTANTIATE_TEST_SUITE_P(
    Table, AllocatorSizes,
    ::testing::Values(SizeCase{"Bgra640x480", 32, 640, 480, {}, 640, 1228800},
                      SizeCase{"I420_640x480", 12, 640, 480, {}, 640, 460800},
                      SizeCase{"Yuy2OddWidthGetsEvenStride", 16, 5, 2, {}, 6, 24},
                      SizeCase{"I420OddWidthGetsEvenStride", 12, 3, 3, {}, 4, 18},
                      SizeCase{"CapacityRoundsUpToWholeBytes", 12, 3, 3, Stride(3), 3, 14},
                      SizeCase{"Padding", 32, 10, 2, Stride(0, 6), 16, 128},
                      SizeCase{"OddPaddingRoundsUp", 32, 10, 1, Stride(0, 3), 14, 56},
                      SizeCase{"FixedOddStrideKept", 32, 3, 1, Stride(5), 5, 20},
                      SizeCase{"FixedStride", 16, 10, 2, Stride(24), 24, 96},
                      SizeCase{"NegativeHeightSizedByMagnitude", 32, 4, -3, {}, 4, 48},
                      SizeCase{"NegativeWidthSizedByMagnitude", 32, -4, 3, {}, 4, 48},
                      SizeCase{"EmptyFrame", 32, 0, 0, {}, 0, 0},
                      SizeCase{"TightPlanarBufferOfAnOddHeight", 12, 4, 3, Adjusted(-1), 4, 17},
                      SizeCase{"LargerBuffer", 32, 2, 2, Adjusted(10), 2, 26},
                      SizeCase{"AdjustmentStopsAtZero", 32, 1, 1, Adjusted(-100), 2, 0}),
    [](const ::testing::TestParamInfo<SizeCase>& info) { return std::string(info.param.name); });

TEST(HostFrameAllocator, RefusesWithoutValidBitsPerPixelOrCountOne) {
  auto ledger = std::make_shared<FrameLedger>();
  HostFrameAllocator allocator(ledger);
  EXPECT_EQ(allocator.allocateFrame(4, 4, 1), nullptr);
  allocator.setBitsPerPixel(65);
  EXPECT_EQ(allocator.allocateFrame(4, 4, 1), nullptr);
  allocator.setBitsPerPixel(32);
  EXPECT_EQ(allocator.allocateFrame(4, 4, 2), nullptr);
  EXPECT_EQ(allocator.allocateFrame(4, 4, 0), nullptr);
  EXPECT_EQ(allocator.allocateCalls(), 4u);
  EXPECT_EQ(allocator.framesMade(), 0u);
  EXPECT_EQ(ledger->handedOut(), 0u);
}

TEST(HostFrameAllocator, RefusesFramesBeyondFourGigabytes) {
  HostFrameAllocator allocator(std::make_shared<FrameLedger>());
  allocator.setBitsPerPixel(32);
  EXPECT_EQ(allocator.allocateFrame(65536, 16384, 1), nullptr);
  EXPECT_EQ(allocator.allocateFrame(INT32_MIN, INT32_MIN, 1), nullptr);
}

TEST(HostFrameAllocator, RefusesWhenMemoryRunsOut) {
  auto ledger = std::make_shared<FrameLedger>();
  auto memory = std::make_shared<GuardedFrameMemory>();
  FrameAllocatorOptions options;
  options.buffers.memory = memory;
  HostFrameAllocator allocator(ledger, options);
  allocator.setBitsPerPixel(32);
  memory->failAfter(2);
  FrameRef a(allocator.allocateFrame(2, 2, 1));
  FrameRef b(allocator.allocateFrame(2, 2, 1));
  EXPECT_TRUE(a && b);
  EXPECT_EQ(allocator.allocateFrame(2, 2, 1), nullptr);
  memory->setFailing(false);
  FrameRef c(allocator.allocateFrame(2, 2, 1));
  EXPECT_TRUE(c);
  memory->setFailing(true);
  EXPECT_EQ(allocator.allocateFrame(2, 2, 1), nullptr);
  EXPECT_EQ(allocator.framesMade(), 3u);
  EXPECT_EQ(ledger->handedOut(), 3u) << "a refused frame is never handed out";
}

TEST(HostFrameAllocator, CountsAnnouncementsAndKnowsItsFrames) {
  HostFrameAllocator allocator(std::make_shared<FrameLedger>());
  HostFrameAllocator other(std::make_shared<FrameLedger>());
  EXPECT_EQ(allocator.bitsAnnouncements(), 0u);
  allocator.setBitsPerPixel(12);
  allocator.setBitsPerPixel(32);
  EXPECT_EQ(allocator.bitsAnnouncements(), 2u);
  EXPECT_EQ(allocator.bitsPerPixel(), 32);
  other.setBitsPerPixel(32);
  FrameRef mine(allocator.allocateFrame(2, 2, 1));
  FrameRef theirs(other.allocateFrame(2, 2, 1));
  EXPECT_TRUE(allocator.pool().owns(mine.get()));
  EXPECT_FALSE(allocator.pool().owns(theirs.get()));
  EXPECT_FALSE(allocator.pool().owns(nullptr));
}

TEST(HostFrameAllocator, GuardedFramesEndAtTheirCapacity) {
  FrameAllocatorOptions options;
  options.buffers = GuardedBuffers();
  HostFrameAllocator allocator(std::make_shared<FrameLedger>(), options);
  allocator.setBitsPerPixel(16);
  FrameRef frame(allocator.allocateFrame(7, 3, 1));
  ASSERT_TRUE(frame);
  FrameLock lock(*frame);
  volatile uint8_t* data = lock.data();
  data[frame->capacity - 1] = 1;
  EXPECT_DEATH(data[frame->capacity] = 1, "");
}

}  // namespace
}  // namespace pellix
