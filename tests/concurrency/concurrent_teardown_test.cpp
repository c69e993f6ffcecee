// Disconnection and port destruction from one thread while another thread's
// pull is running: each waits for the pull (the component's mutex), the
// running pull completes with a whole frame, and afterwards nothing is
// pulled from upstream. From the pulling thread itself (the mutex is
// recursive) a Disconnect does not block.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "host/frame_allocator.h"
#include "host/frame_layout.h"
#include "host/frame_ledger.h"
#include "host/frame_producers.h"
#include "host/frame_ref.h"
#include "host/loaded_component.h"
#include "host/plugin_host.h"
#include "host/sink_port.h"
#include "host/source_port.h"
#include "tests/concurrency/concurrency_support.h"

namespace pellix::concurrency {
namespace {

using Tessel::PortMessage::PullFrame;

// What another thread does to the component while its pull is held.
struct Teardown {
  const char* name;
  std::function<bool(LoadedComponent&)> run;  // true when the plug-in accepted every step
  // Whether the output port is still there and a later pull must answer
  // false without reaching upstream.
  bool laterPullRefused;
};

void PrintTo(const Teardown& teardown, std::ostream* out) { *out << teardown.name; }

const Teardown kTeardowns[] = {
    {"DisconnectOfTheInputPort", [](LoadedComponent& c) { return c.disconnect(PortSide::Input); }, true},
    {"DisconnectOfTheOutputPort", [](LoadedComponent& c) { return c.disconnect(PortSide::Output); }, true},
    // The host's stop sequence (ConversionSession::disconnect).
    {"DisconnectOfBothPorts",
     [](LoadedComponent& c) { return c.disconnect(PortSide::Input) && c.disconnect(PortSide::Output); }, true},
    {"DisconnectsAndInputPortDestruction",
     [](LoadedComponent& c) {
       return c.disconnect(PortSide::Output) && c.disconnect(PortSide::Input) && c.destroyInputPort();
     },
     true},
    {"DestructionOfTheInputPort", [](LoadedComponent& c) { return c.destroyInputPort(); }, false},
    {"DestructionOfTheOutputPort", [](LoadedComponent& c) { return c.destroyOutputPort(); }, false},
};

// A component wired UYVY -> BGRA whose upstream port holds every pull inside
// the producer until the test lets it go.
class HeldPull : public ::testing::TestWithParam<Teardown> {
 protected:
  void SetUp() override {
    ASSERT_NE(component.createInputPort("UYVY"), nullptr);
    ASSERT_NE(component.createOutputPort("BGRA"), nullptr);
    ASSERT_TRUE(component.connect(PortSide::Input, &source));
    ASSERT_TRUE(component.connect(PortSide::Output, &sink));
    ASSERT_TRUE(component.setFrameAllocator(&allocator));
    Tessel::ImageProperties image;
    image.width = kWidth;
    image.height = kHeight;
    image.stride = kWidth;
    ASSERT_TRUE(component.announce(PortSide::Output, image));
    output = component.outputPort();
  }

  void TearDown() override {
    component.shutDown();
    const LedgerReport report = ledger->report();
    EXPECT_TRUE(report.clean()) << report.describe();
  }

  // Starts a pull on its own thread and returns once it is inside the
  // upstream port, holding the component's mutex.
  void startPull() {
    puller = std::thread([this] { pulled = output->request(PullFrame, &answer); });
    entered.wait();
  }

  // Runs `teardown` on another thread while the pull is held; returns once
  // both are done. What the teardown saw on its return is recorded.
  void overlap(const std::function<void()>& teardown) {
    std::atomic<bool> started{false};
    std::thread other([&] {
      started = true;
      teardown();
      convertedWhenTeardownReturned = allocator.framesMade();
      releasedWhenTeardownReturned = ledger->released();
    });
    while (!started) std::this_thread::yield();
    // Time for the other thread to reach the component's mutex; the checks
    // hold whoever wins, only an overlap exercises the waiting.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    release.open();
    puller.join();
    other.join();
  }

  static constexpr int32_t kWidth = 32;
  static constexpr int32_t kHeight = 8;

  std::shared_ptr<FrameLedger> ledger = std::make_shared<FrameLedger>();
  RecordingPluginHost host;
  Gate entered;
  Gate release;
  FrameProducer frames = MakeFilledFrameProducer(std::make_shared<FramePool>(ledger),
                                                 LayoutFor(PixelFormat::UYVY, kWidth, kHeight, kWidth,
                                                           PlaneRule::Source),
                                                 nullptr);
  SourcePort source{[this]() -> Tessel::Frame* {
    entered.open();
    release.wait();
    return frames();
  }};
  SinkPort sink;
  HostFrameAllocator allocator{ledger};
  LoadedComponent component{*Library(), host};
  Tessel::PortInterface* output = nullptr;

  std::thread puller;
  Tessel::Variant answer;
  bool pulled = false;
  uint64_t convertedWhenTeardownReturned = 0;
  uint64_t releasedWhenTeardownReturned = 0;
};

TEST_P(HeldPull, TeardownFromAnotherThreadWaitsForThePull) {
  const Teardown& teardown = GetParam();
  startPull();
  bool accepted = false;
  overlap([&] { accepted = teardown.run(component); });

  EXPECT_TRUE(accepted);
  ASSERT_TRUE(pulled) << "the running pull completes";
  FrameRef frame(answer.as<Tessel::Frame>());
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->imageProperties.width, kWidth);
  EXPECT_EQ(frame->dataSize(), 4u * kWidth * kHeight) << "a whole frame";
  EXPECT_EQ(convertedWhenTeardownReturned, 1u) << "the teardown returned before the pull had converted";
  EXPECT_EQ(releasedWhenTeardownReturned, 1u) << "the teardown returned before the pull released the source frame";

  if (teardown.laterPullRefused) {
    Tessel::Variant again;
    EXPECT_FALSE(output->request(PullFrame, &again)) << "a pull after Disconnect answers false";
    EXPECT_EQ(source.pullRequests(), 1u) << "and does not reach the upstream port";
  }
}

INSTANTIATE_TEST_SUITE_P(Teardowns, HeldPull, ::testing::ValuesIn(kTeardowns),
                         [](const ::testing::TestParamInfo<Teardown>& info) { return std::string(info.param.name); });

// A Disconnect sent from inside the pull, on the pulling thread, returns at
// once: the running pull converts with the converter it started with, and
// the next pull answers false.
TEST(ConcurrentTeardown, DisconnectFromThePullingThreadDoesNotBlock) {
  auto ledger = std::make_shared<FrameLedger>();
  auto pool = std::make_shared<FramePool>(ledger);
  const FrameLayout layout = LayoutFor(PixelFormat::BGRA, 16, 8, 16, PlaneRule::Source);
  FrameProducer fill = MakeFilledFrameProducer(pool, layout, nullptr);
  ConversionSession* session = nullptr;
  bool disconnected = false;
  SessionOptions options = SameImageEveryFrame({PixelFormat::BGRA, PixelFormat::I420}, 16, 8, 1);
  options.producer = [&]() -> Tessel::Frame* {
    disconnected = session->component().disconnect(PortSide::Output);
    return fill();
  };
  ConversionSession held(Library(), options, ledger);
  session = &held;
  FrameRef frame = held.tryPull();
  EXPECT_TRUE(disconnected);
  ASSERT_TRUE(frame) << "the running pull completes";
  frame.reset();
  EXPECT_FALSE(held.tryPull());
  EXPECT_EQ(held.source().pullRequests(), 1u);
}

// Disconnect from another thread while frames are pulled back to back: the
// pulling thread sees whole frames, then false, and nothing in between.
TEST(ConcurrentTeardown, DisconnectWhilePullingInALoop) {
  auto ledger = std::make_shared<FrameLedger>();
  const FormatPair pair{PixelFormat::BGRA, PixelFormat::YV12};
  ConversionSession session(Library(), SameImageEveryFrame(pair, 64, 16, 9), ledger);
  std::atomic<int> converted{0};
  int wrong = 0;
  FrameRef first = session.pull();
  const std::vector<uint8_t> expected = FrameBytes(*first);
  first.reset();

  std::atomic<bool> stopped{false};
  std::thread puller([&] {
    while (FrameRef frame = session.tryPull()) {
      if (FrameBytes(*frame) != expected) ++wrong;
      converted.fetch_add(1);
    }
    stopped = true;
  });
  while (converted.load() < 5 && !stopped.load()) std::this_thread::yield();
  EXPECT_FALSE(stopped.load()) << "pulls failed before any Disconnect";
  session.disconnect();
  puller.join();

  EXPECT_EQ(wrong, 0);
  EXPECT_FALSE(session.tryPull());
  EXPECT_EQ(session.source().pullRequests(), static_cast<uint64_t>(converted.load()) + 1)
      << "every pull that reached upstream delivered a frame";
  const LedgerReport report = ledger->report();
  EXPECT_EQ(report.handedOut, report.released) << report.describe();
}

}  // namespace
}  // namespace pellix::concurrency
