// The component's mutex: disconnection and port destruction wait for a
// running pull, a call back into the component from the pulling thread does
// not block, and separate components convert side by side.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/component/port_rig.h"

namespace {

using namespace testing_doubles;

// Runs `call` on a second thread from inside the upstream request (that is,
// while the pull holds the component's mutex) and reports whether it had
// finished by the time the upstream answered.
class WhilePulling {
 public:
  template <class Call>
  void arm(FakeUpstreamPort& upstream, Call call) {
    upstream.duringRequest = [this, call] {
      other_ = std::thread([this, call] {
        started_ = true;
        call();
        finished_ = true;
      });
      while (!started_) std::this_thread::yield();
      // Room for a call that ignored the mutex to finish; no time is asserted.
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      finishedInside_ = finished_.load();
    };
  }
  void join() {
    if (other_.joinable()) other_.join();
  }
  bool finishedInsidePull() const { return finishedInside_; }

 private:
  std::thread other_;
  std::atomic<bool> started_{false};
  std::atomic<bool> finished_{false};
  bool finishedInside_ = true;
};

TEST_F(PortsTest, DisconnectFromAnotherThreadWaitsForThePull) {
  for (int side = 0; side < 2; ++side) {
    ExtraRig rig;
    ASSERT_TRUE(rig.wire("YUY2", "BGRA", 16, 8));
    Tessel::PortInterface* port = side == 0 ? rig.input : rig.output;
    WhilePulling other;
    other.arm(rig.upstream, [port] { port->notify(kDisconnect, nullptr); });
    FakeFrame* frame = rig.pull();
    other.join();
    EXPECT_FALSE(other.finishedInsidePull());
    ASSERT_NE(frame, nullptr);  // the running pull completes
    rig.handBack(frame);
    rig.upstream.duringRequest = nullptr;
    EXPECT_EQ(rig.pull(), nullptr);
  }
}

TEST_F(PortsTest, PortDestructionFromAnotherThreadWaitsForThePull) {
  ASSERT_TRUE(wire("I420", "UYVY", 16, 8));
  WhilePulling other;
  bool destroyed = false;
  Tessel::PortInterface* port = input;
  other.arm(upstream, [this, port, &destroyed] { destroyed = transform->destroyInputPort(port); });
  FakeFrame* frame = pull();
  other.join();
  EXPECT_FALSE(other.finishedInsidePull());
  EXPECT_TRUE(destroyed);
  input = nullptr;
  ASSERT_NE(frame, nullptr);
  handBack(frame);
}

TEST_F(PortsTest, DisconnectFromThePullingThreadDoesNotBlock) {
  ASSERT_TRUE(wire("BGRA", "I420", 16, 8));
  upstream.duringRequest = [this] { EXPECT_TRUE(output->notify(kDisconnect, nullptr)); };
  FakeFrame* frame = pull();
  ASSERT_NE(frame, nullptr);  // converts with the converter it started with
  handBack(frame);
  upstream.duringRequest = nullptr;
  EXPECT_EQ(pull(), nullptr);
}

TEST_F(PortsTest, TwoComponentsConvertOnTwoThreads) {
  ExtraRig first;
  ExtraRig second;
  ASSERT_TRUE(first.wire("I420", "BGRA", 64, 32));
  ASSERT_TRUE(second.wire("BGRA", "YUY2", 64, 32));
  auto run = [](ExtraRig* rig, int* converted) {
    for (int i = 0; i < 40; ++i) {
      if (FakeFrame* frame = rig->pull()) {
        ++*converted;
        rig->handBack(frame);
      }
    }
  };
  int firstCount = 0;
  int secondCount = 0;
  std::thread a(run, &first, &firstCount);
  std::thread b(run, &second, &secondCount);
  a.join();
  b.join();
  EXPECT_EQ(firstCount, 40);
  EXPECT_EQ(secondCount, 40);
}

}  // namespace
