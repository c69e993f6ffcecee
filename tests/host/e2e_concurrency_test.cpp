// Two components converting at once, and a Disconnect that overlaps a pull.
#include "tests/host/e2e_fixture.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace pellix {
namespace e2e {
namespace {

// A one-shot gate: wait() blocks until open().
class Gate {
 public:
  void open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  void wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return open_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
};

using ConcurrencyTest = PluginTest;

TEST_F(ConcurrencyTest, TwoComponentsConvertOnTwoThreadsAtOnce) {
  struct Lane {
    PixelFormat input;
    PixelFormat output;
    FrameRef source;
    std::unique_ptr<ConversionSession> session;
    std::vector<uint8_t> expected;
    int mismatches = 0;
  };
  const int32_t width = 96, height = 32;
  auto pool = std::make_shared<FramePool>(ledger);
  Lane lanes[2] = {{PixelFormat::I420, PixelFormat::BGRA, {}, {}, {}, 0},
                   {PixelFormat::BGRA, PixelFormat::YUY2, {}, {}, {}, 0}};
  for (Lane& lane : lanes) {
    lane.source = MakeSourceFrame(*pool, lane.input, width, height, 21);
    SessionOptions options = Options(FormatName(lane.input), FormatName(lane.output), width, height);
    options.producer = MakeRepeatingProducer(lane.source.share());
    options.outputFrames.buffers.recycle = true;
    lane.session = std::make_unique<ConversionSession>(Library(), options, ledger);
    FrameRef first = lane.session->pull();
    Tessel::ImageProperties announced;
    announced.width = width;
    announced.height = height;
    announced.stride = lane.source->imageProperties.stride;
    lane.expected = ExpectedConversion(lane.input, lane.output, *lane.source, announced,
                                       first->imageProperties.stride, first->capacity);
  }
  Gate start;
  std::vector<std::thread> threads;
  for (Lane& lane : lanes) {
    threads.emplace_back([&lane, &start] {
      start.wait();
      for (int i = 0; i < 40; ++i) {
        FrameRef frame = lane.session->tryPull();
        if (!frame || FrameBytes(*frame) != lane.expected) ++lane.mismatches;
      }
    });
  }
  start.open();
  for (std::thread& thread : threads) thread.join();
  for (const Lane& lane : lanes) {
    EXPECT_EQ(lane.mismatches, 0) << FormatName(lane.input) << " -> " << FormatName(lane.output);
  }
}

TEST_F(ConcurrencyTest, DisconnectWaitsForARunningPull) {
  Gate producerEntered;
  Gate releaseProducer;
  auto pool = std::make_shared<FramePool>(ledger);
  const FrameLayout layout = LayoutFor(PixelFormat::UYVY, 32, 8, 32, PlaneRule::Source);
  FrameProducer fill = MakeFilledFrameProducer(pool, layout, nullptr);
  SessionOptions options = Options("UYVY", "BGRA", 32, 8);
  options.producer = [&]() -> Tessel::Frame* {
    producerEntered.open();
    releaseProducer.wait();
    return fill();
  };
  ConversionSession session(Library(), options, ledger);

  FrameRef pulled;
  std::thread puller([&] { pulled = session.tryPull(); });
  producerEntered.wait();

  std::atomic<bool> disconnecting{false};
  uint64_t convertedWhenDisconnectReturned = 0;
  uint64_t sourceReleasedWhenDisconnectReturned = 0;
  std::thread disconnector([&] {
    disconnecting = true;
    session.disconnect();
    convertedWhenDisconnectReturned = session.allocator().framesMade();
    sourceReleasedWhenDisconnectReturned = ledger->released();
  });
  while (!disconnecting) std::this_thread::yield();
  // Give the disconnecting thread time to block on the component's mutex;
  // the checks below hold whichever thread wins, but only an overlap tests
  // the waiting.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  releaseProducer.open();
  puller.join();
  disconnector.join();

  ASSERT_TRUE(pulled) << "the running pull completes";
  EXPECT_EQ(convertedWhenDisconnectReturned, 1u) << "Disconnect returned before the pull finished";
  EXPECT_EQ(sourceReleasedWhenDisconnectReturned, 1u);
  EXPECT_FALSE(session.tryPull()) << "the next pull after Disconnect answers false";
  EXPECT_EQ(session.source().pullRequests(), 1u);
}

TEST_F(ConcurrencyTest, ConnectingAnotherComponentLeavesRunningConversionsExact) {
  // Every output Connect runs the conversion set-up; it must not disturb the
  // routine table under a conversion running on another thread.
  const int32_t width = 64, height = 16;
  auto pool = std::make_shared<FramePool>(ledger);
  FrameRef source = MakeSourceFrame(*pool, PixelFormat::BGRA, width, height, 31);
  SessionOptions options = Options("BGRA", "I420", width, height);
  options.producer = MakeRepeatingProducer(source.share());
  options.outputFrames.buffers.recycle = true;
  ConversionSession session(Library(), options, ledger);
  Tessel::ImageProperties announced;
  announced.width = width;
  announced.height = height;
  announced.stride = width;
  std::vector<uint8_t> expected;
  {
    FrameRef first = session.pull();
    expected = ExpectedConversion(PixelFormat::BGRA, PixelFormat::I420, *source, announced,
                                  first->imageProperties.stride, first->capacity);
  }
  std::atomic<bool> converting{true};
  int mismatches = 0;
  std::thread converter([&] {
    for (int i = 0; i < 60; ++i) {
      FrameRef frame = session.tryPull();
      if (!frame || FrameBytes(*frame) != expected) ++mismatches;
    }
    converting = false;
  });
  int connects = 0;
  while (converting || connects == 0) {
    ConversionSession other(Library(), Options("YUY2", "BGRA", 8, 4), ledger);
    ++connects;
  }
  converter.join();
  EXPECT_EQ(mismatches, 0) << "after " << connects << " connects on another thread";
}

}  // namespace
}  // namespace e2e
}  // namespace pellix
