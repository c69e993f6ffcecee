#include "bench/tier_cap.h"

#include <gtest/gtest.h>
#include <libyuv/cpu_id.h>

#include <cstdlib>
#include <string>

#include "colorconv/dispatch/tiers.h"

namespace pellix::bench {
namespace {

// The cap changes process state (libyuv's mask, PELLIX_CPU); every case
// puts both back.
class BenchTierCap : public ::testing::Test {
 protected:
  void TearDown() override {
    libyuv::MaskCpuFlags(-1);
    unsetenv(kTierCapVariable);
  }
};

struct CapCase {
  const char* name;
  int flagsCleared;  // libyuv flags that must be off afterwards
  int flagsKept;     // flags that stay as the processor reports them
};

const CapCase kCaps[] = {
    {"avx2", libyuv::kCpuHasAVX512BW | libyuv::kCpuHasAVX512VL | libyuv::kCpuHasAVX512VBMI | libyuv::kCpuHasGFNI,
     libyuv::kCpuHasAVX2 | libyuv::kCpuHasSSSE3},
    {"AVX2", libyuv::kCpuHasAVX512BW | libyuv::kCpuHasAVX512VL, libyuv::kCpuHasAVX2},
    {"sse2", libyuv::kCpuHasAVX2 | libyuv::kCpuHasAVX | libyuv::kCpuHasAVX512BW, libyuv::kCpuHasSSE2},
    {"avx512", 0, libyuv::kCpuHasAVX512BW | libyuv::kCpuHasAVX2},
};

TEST_F(BenchTierCap, CapsLibyuvToTheSameTierAndSetsTheVariable) {
  for (const CapCase& c : kCaps) {
    SCOPED_TRACE(c.name);
    libyuv::MaskCpuFlags(-1);
    const int reported = libyuv::TestCpuFlag(~0);
    const TierCapResult result = ApplyBenchTierCap(c.name);
    ASSERT_TRUE(result.ok) << result.description;
    EXPECT_EQ(libyuv::TestCpuFlag(c.flagsCleared), 0);
    EXPECT_EQ(libyuv::TestCpuFlag(c.flagsKept), reported & c.flagsKept);
    ASSERT_NE(std::getenv(kTierCapVariable), nullptr);
    EXPECT_EQ(std::string(std::getenv(kTierCapVariable)), c.name);
  }
}

TEST_F(BenchTierCap, RefusesNamesThatAreNoTier) {
  for (const char* name : {"", "avx3", "sse4"}) {
    SCOPED_TRACE(name);
    const TierCapResult result = ApplyBenchTierCap(name);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(std::getenv(kTierCapVariable), nullptr);
  }
}

}  // namespace
}  // namespace pellix::bench
