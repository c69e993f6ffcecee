// Several components at work in one process: converting side by side, their
// first set-ups racing each other, and new components being set up and torn
// down while another converts. Every frame must come out as it does when
// nothing else runs, which is what the routine called directly gives.
#include <gtest/gtest.h>

#include <atomic>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host/conversion_session.h"
#include "host/frame_ref.h"
#include "tests/concurrency/concurrency_support.h"
#include "tests/support/format_pairs.h"

namespace pellix::concurrency {
namespace {

constexpr int32_t kWidth = 70;  // whole SIMD groups plus a partial group
constexpr int32_t kHeight = 18;

// One pair per routine family: planar to packed, packed to BGRA, to planar,
// BGRA to packed, plane copy, byte swap.
constexpr FormatPair kPairs[] = {{PixelFormat::I420, PixelFormat::BGRA}, {PixelFormat::YV12, PixelFormat::YUY2},
                                 {PixelFormat::UYVY, PixelFormat::BGRA}, {PixelFormat::BGRA, PixelFormat::I420},
                                 {PixelFormat::BGRA, PixelFormat::UYVY}, {PixelFormat::I420, PixelFormat::YV12},
                                 {PixelFormat::YUY2, PixelFormat::UYVY}};

TEST(ConcurrentConversion, SeveralComponentsConvertAtOnce) {
  struct Lane {
    FormatPair pair;
    std::vector<uint8_t> expected;
    std::unique_ptr<ConversionSession> session;
    int converted = 0;
    int wrong = 0;
  };
  constexpr int kPulls = 40;
  auto ledger = std::make_shared<FrameLedger>();
  std::vector<Lane> lanes;
  for (size_t i = 0; i < std::size(kPairs); ++i) {
    const uint64_t seed = 10 + i;
    lanes.push_back({kPairs[i], ConvertAlone(kPairs[i], kWidth, kHeight, seed), nullptr, 0, 0});
    lanes.back().session =
        std::make_unique<ConversionSession>(Library(), SameImageEveryFrame(kPairs[i], kWidth, kHeight, seed), ledger);
  }
  Gate start;
  std::vector<std::thread> threads;
  for (Lane& lane : lanes) {
    threads.emplace_back([&lane, &start] {
      start.wait();
      for (int i = 0; i < kPulls; ++i) {
        FrameRef frame = lane.session->tryPull();
        if (!frame) continue;
        ++lane.converted;
        if (FrameBytes(*frame) != lane.expected) ++lane.wrong;
      }
    });
  }
  start.open();
  for (std::thread& thread : threads) thread.join();
  for (Lane& lane : lanes) {
    EXPECT_EQ(lane.converted, kPulls) << PairText(lane.pair);
    EXPECT_EQ(lane.wrong, 0) << PairText(lane.pair);
    lane.session.reset();
  }
  const LedgerReport report = ledger->report();
  EXPECT_TRUE(report.clean()) << report.describe();
}

// Each test runs in a process of its own (one ctest entry per test), so the
// Connects here are the process's first set-up, racing one another.
TEST(ConcurrentSetUp, FirstConnectsOfSeveralComponentsAtOnce) {
  constexpr int kThreads = 4;
  const FormatPair pair{PixelFormat::I420, PixelFormat::BGRA};
  std::vector<std::vector<uint8_t>> results(kThreads);
  std::vector<std::string> errors(kThreads);
  Gate start;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      start.wait();
      try {
        ConversionSession session(Library(), SameImageEveryFrame(pair, kWidth, kHeight, 3));
        FrameRef frame = session.pull();
        results[t] = FrameBytes(*frame);
      } catch (const std::exception& e) {
        errors[t] = e.what();
      }
    });
  }
  start.open();
  for (std::thread& thread : threads) thread.join();
  const std::vector<uint8_t> alone = ConvertAlone(pair, kWidth, kHeight, 3);
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(errors[t], "") << "thread " << t;
    EXPECT_TRUE(results[t] == alone) << "thread " << t << " converted differently";
  }
}

// While one component converts, others are made, connected (running the
// conversion set-up again, which must not disturb the routine table under
// the running conversion), used once and torn down.
TEST(ConcurrentSetUp, ConnectAndSetUpWhileAnotherComponentConverts) {
  const FormatPair converting{PixelFormat::YUY2, PixelFormat::I420};
  const std::vector<uint8_t> expected = ConvertAlone(converting, kWidth, kHeight, 5);
  auto ledger = std::make_shared<FrameLedger>();
  auto session =
      std::make_unique<ConversionSession>(Library(), SameImageEveryFrame(converting, kWidth, kHeight, 5), ledger);

  std::atomic<bool> settingUp{true};
  std::atomic<int> converted{0};
  int wrong = 0;
  std::thread converter([&] {
    while (settingUp.load() || converted.load() < 10) {
      FrameRef frame = session->tryPull();
      if (!frame || FrameBytes(*frame) != expected) ++wrong;
      converted.fetch_add(1);
    }
  });
  std::string error;
  int setUps = 0;
  try {
    for (int round = 0; round < 12; ++round) {
      const FormatPair pair = kPairs[round % std::size(kPairs)];
      ConversionSession other(Library(), SameImageEveryFrame(pair, 34, 10, 7), ledger);
      FrameRef frame = other.pull();
      ++setUps;
    }
  } catch (const std::exception& e) {
    error = e.what();
  }
  settingUp = false;
  converter.join();
  session.reset();

  EXPECT_EQ(error, "");
  EXPECT_EQ(setUps, 12);
  EXPECT_EQ(wrong, 0) << "of " << converted.load() << " frames";
  const LedgerReport report = ledger->report();
  EXPECT_TRUE(report.clean()) << report.describe();
}

}  // namespace
}  // namespace pellix::concurrency
