#include <gtest/gtest.h>

#include "host/frame.h"
#include "host/frame_pool.h"
#include "host/frame_ref.h"
#include "tests/support/rig/guarded_memory.h"

namespace pellix {
namespace {

Tessel::ImageProperties Image(int32_t width, int32_t height, int32_t stride) {
  Tessel::ImageProperties image;
  image.width = width;
  image.height = height;
  image.stride = stride;
  return image;
}

class FrameTest : public ::testing::Test {
 protected:
  std::shared_ptr<FrameLedger> ledger = std::make_shared<FrameLedger>();
};

TEST_F(FrameTest, LastReleaseIsRecordedOnce) {
  FramePool pool(ledger);
  HostFrame* frame = pool.acquire(64, Image(4, 4, 4));
  EXPECT_EQ(frame->capacity, 64u);
  EXPECT_EQ(frame->imageProperties.width, 4);
  EXPECT_EQ(frame->addRef(), 2);
  EXPECT_EQ(frame->release(), 1);
  EXPECT_EQ(ledger->released(), 0u);
  EXPECT_EQ(frame->release(), 0);
  const LedgerReport report = ledger->report();
  EXPECT_TRUE(report.clean()) << report.describe();
}

TEST_F(FrameTest, MisuseAfterLastReleaseIsRecordedNotExecuted) {
  FramePool pool(ledger);
  HostFrame* frame = pool.acquire(16, Image(4, 1, 4));
  frame->release();
  EXPECT_EQ(frame->data(), nullptr) << "a released frame keeps no buffer without recycling";
  EXPECT_EQ(frame->release(), 0);
  EXPECT_EQ(frame->addRef(), 0);
  EXPECT_EQ(frame->lock(), nullptr);
  frame->unlock();
  const LedgerReport report = ledger->report();
  EXPECT_EQ(report.handedOut, report.released);
  EXPECT_EQ(report.problems.size(), 3u) << report.describe();
}

TEST_F(FrameTest, UnbalancedUnlockAndReleaseWhileLockedAreProblems) {
  FramePool pool(ledger);
  HostFrame* frame = pool.acquire(16, Image(4, 1, 4));
  frame->unlock();
  ASSERT_NE(frame->lock(), nullptr);
  frame->release();
  EXPECT_EQ(ledger->report().problems.size(), 2u) << ledger->report().describe();
}

TEST_F(FrameTest, LockCallsAreCountedAndALockCanBeMadeToFail) {
  FrameBufferOptions options = GuardedBuffers();
  options.recycle = true;
  FramePool pool(ledger, options);
  HostFrame* frame = pool.acquire(16, Image(4, 1, 4));
  EXPECT_EQ(frame->lockCalls(), 0u);
  ASSERT_NE(frame->lock(), nullptr);
  frame->unlock();
  SetLockFails(*frame, true);
  EXPECT_EQ(frame->lock(), nullptr);
  EXPECT_EQ(frame->lockDepth(), 1) << "a failed lock still wants its unlock";
  frame->unlock();
  EXPECT_EQ(frame->lockCalls(), 2u);
  frame->release();
  HostFrame* again = pool.acquire(16, Image(4, 1, 4));
  ASSERT_EQ(again, frame);
  EXPECT_EQ(again->lockCalls(), 0u) << "counts start afresh for each hand-out";
  EXPECT_EQ(again->lockDepth(), 0);
  SetLockFails(*again, false);
  EXPECT_NE(again->lock(), nullptr);
  again->unlock();
  again->release();
  EXPECT_TRUE(ledger->report().clean()) << ledger->report().describe();
}

TEST_F(FrameTest, RecyclingReusesTheObjectUnderANewTicket) {
  FrameBufferOptions options;
  options.recycle = true;
  FramePool pool(ledger, options);
  HostFrame* first = pool.acquire(32, Image(8, 1, 8));
  first->attribute0 = 7;
  first->dataSize() = 32;
  const uint64_t firstTicket = first->ticket();
  first->release();
  HostFrame* second = pool.acquire(32, Image(2, 2, 2));
  EXPECT_EQ(second, first);
  EXPECT_NE(second->ticket(), firstTicket);
  EXPECT_EQ(second->attribute0, 0u);
  EXPECT_EQ(second->dataSize(), 0u);
  EXPECT_EQ(second->imageProperties.width, 2);
  HostFrame* third = pool.acquire(48, Image(2, 2, 2));
  EXPECT_NE(third, first) << "only a frame of the same capacity is reused";
  second->release();
  third->release();
  EXPECT_EQ(pool.framesOwned(), 2u);
  EXPECT_TRUE(ledger->report().clean());
}

TEST_F(FrameTest, FrameStillReferencedWhenPoolGoesIsOutstanding) {
  {
    FramePool pool(ledger);
    pool.acquire(8, Image(8, 1, 8));
  }
  const LedgerReport report = ledger->report();
  EXPECT_FALSE(report.clean());
  EXPECT_EQ(report.outstanding.size(), 1u);
}

TEST_F(FrameTest, FrameRefReleasesExactlyOnce) {
  FramePool pool(ledger);
  {
    FrameRef held(pool.acquire(8, Image(8, 1, 8)));
    FrameRef second = held.share();
    FrameRef moved = std::move(held);
    EXPECT_FALSE(held);
    EXPECT_EQ(moved.get(), second.get());
    moved = std::move(second);
    FrameLock lock(*moved);
    EXPECT_NE(lock.data(), nullptr);
  }
  const LedgerReport report = ledger->report();
  EXPECT_TRUE(report.clean()) << report.describe();
}

TEST_F(FrameTest, GuardPageCatchesAWriteJustPastTheCapacity) {
  FramePool pool(ledger, GuardedBuffers());
  FrameRef frame(pool.acquire(100, Image(100, 1, 100)));
  uint8_t* data = static_cast<HostFrame*>(frame.get())->data();
  data[0] = 1;
  data[99] = 1;
  volatile uint8_t* edge = data;
  EXPECT_DEATH(edge[100] = 1, "");
}

}  // namespace
}  // namespace pellix
