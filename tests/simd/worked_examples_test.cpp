// Single values that pin each variant's arithmetic, with the plain routine
// beside it where the two are documented to differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "colorconv/plain/plain_routines.h"
#include "colorconv/routines.h"
#include "colorconv/simd/simd_routines.h"
#include "tests/simd/models/adjustment_model.h"
#include "tests/simd/models/bgra_to_planar420_model.h"
#include "tests/simd/variant_table.h"

namespace pellix::test {
namespace {

using Bgra = std::array<uint8_t, 4>;

bool Has(uint32_t features) { return (ProcessorFeatures() & features) == features; }

// A 2 x 2 planar frame of one colour through a Planar420ToBGRA routine: pixel 0.
Bgra PlanarPixelToBgra(Planar420ToPackedRoutine routine, uint8_t y, uint8_t u, uint8_t v) {
  const uint8_t luma[4] = {y, y, y, y};
  std::array<uint8_t, 16> out{};
  routine(luma, 2, &u, &v, 1, out.data(), 2, 2, 2, &ProcessColorAdjustment(), 0);
  return {out[0], out[1], out[2], out[3]};
}

class WorkedExamples : public testing::Test {
 protected:
  void SetUp() override {
    InitColorConversion();
    if (!Has(CpuFeature::MMX | CpuFeature::SSE)) GTEST_SKIP() << "needs MMX and SSE";
  }
};

TEST_F(WorkedExamples, GreyIs131WherePlainGives130) {
  EXPECT_EQ(PlanarPixelToBgra(Planar420ToBGRA_MMX, 128, 128, 128), (Bgra{131, 131, 131, 255}));
  EXPECT_EQ(PlanarPixelToBgra(Planar420ToBGRA, 128, 128, 128), (Bgra{130, 130, 130, 255}));
}

TEST_F(WorkedExamples, UnclampedInputsGiveRed74WherePlainGives78) {
  EXPECT_EQ(PlanarPixelToBgra(Planar420ToBGRA_MMX, 255, 128, 0), (Bgra{255, 255, 74, 255}));
  EXPECT_EQ(PlanarPixelToBgra(Planar420ToBGRA, 255, 128, 0)[2], 78);
}

TEST_F(WorkedExamples, LumaBelowBlackActsAsBlack) {
  EXPECT_EQ(PlanarPixelToBgra(Planar420ToBGRA_MMX, 10, 90, 200), PlanarPixelToBgra(Planar420ToBGRA_MMX, 16, 90, 200));
}

// Luma of a 2 x 2 BGRA frame of one colour through a BGRAToPlanar420 routine.
uint8_t LumaOf(ToPlanar420Routine routine, Bgra colour) {
  uint8_t src[16];
  for (int p = 0; p < 4; ++p) std::memcpy(src + 4 * p, colour.data(), 4);
  uint8_t y[4] = {}, u = 0, v = 0;
  routine(2, 2, src, 8, y, &u, &v, 2, 0, 0);
  return y[0];
}

TEST_F(WorkedExamples, LumaOfWhiteBlackAndDarkColour) {
  for (ToPlanar420Routine routine : {BGRAToPlanar420_MMX, BGRAToPlanar420_SSE}) {
    EXPECT_EQ(LumaOf(routine, {255, 255, 255, 255}), 234);
    EXPECT_EQ(LumaOf(routine, {0, 0, 0, 255}), 16);
    EXPECT_EQ(LumaOf(routine, {10, 20, 30, 255}), 34);
  }
  EXPECT_EQ(LumaOf(BGRAToPlanar420, {10, 20, 30, 255}), 35);
}

// Two rows of a block whose chroma U is 100 and 101: the MMX average
// truncates to 100, the SSE byte average rounds to 101.
TEST_F(WorkedExamples, SecondRowAverageOfBgraChroma) {
  auto uOfGrey = [](uint8_t b) {
    const uint8_t px[4] = {b, 128, 128, 255};
    return PackUnsigned(ChromaFromBgraPairMmx(px, px).u);
  };
  int blue100 = -1, blue101 = -1;
  for (int b = 0; b < 256; ++b) {
    if (uOfGrey(static_cast<uint8_t>(b)) == 100 && blue100 < 0) blue100 = b;
    if (uOfGrey(static_cast<uint8_t>(b)) == 101 && blue101 < 0) blue101 = b;
  }
  ASSERT_GE(blue100, 0);
  ASSERT_GE(blue101, 0);
  uint8_t src[16];
  for (int p = 0; p < 4; ++p) {
    const uint8_t px[4] = {static_cast<uint8_t>(p < 2 ? blue100 : blue101), 128, 128, 255};
    std::memcpy(src + 4 * p, px, 4);
  }
  uint8_t y[4], u = 0, v = 0;
  BGRAToPlanar420_MMX(2, 2, src, 8, y, &u, &v, 2, 0, 0);
  EXPECT_EQ(u, 100);
  BGRAToPlanar420_SSE(2, 2, src, 8, y, &u, &v, 2, 0, 0);
  EXPECT_EQ(u, 101);
}

TEST_F(WorkedExamples, SecondRowAverageOfYuy2Chroma) {
  const uint8_t src[8] = {50, 100, 60, 7, 70, 101, 80, 8};  // two rows of one macropixel
  struct Case {
    ToPlanar420Routine routine;
    int expectedU;
    int expectedV;
  };
  for (const Case& c :
       {Case{YUY2ToPlanar420_SSE, 101, 8}, Case{YUY2ToPlanar420_MMX, 100, 7}, Case{YUY2ToPlanar420, 100, 7}}) {
    uint8_t y[4] = {}, u = 0, v = 0;
    c.routine(2, 2, src, 4, y, &u, &v, 2, 0, 0);
    EXPECT_EQ(u, c.expectedU);
    EXPECT_EQ(v, c.expectedV);
    EXPECT_EQ(y[0], 50);
    EXPECT_EQ(y[3], 80);
  }
}

TEST_F(WorkedExamples, HeightOneProducesNothing) {
  std::vector<uint8_t> luma(64, 90), chroma(32, 100), out(256, 0xEE);
  for (Planar420ToPackedRoutine routine : {Planar420ToYUY2_MMX, Planar420ToYUY2_SSE, Planar420ToYUY2_SSE2}) {
    routine(luma.data(), 64, chroma.data(), chroma.data(), 32, out.data(), 64, 1, 64, &ProcessColorAdjustment(), 0);
    EXPECT_EQ(out, std::vector<uint8_t>(256, 0xEE));
  }
  std::vector<uint8_t> yuy2(128, 90), y(64, 0xEE), u(32, 0xEE), v(32, 0xEE);
  for (ToPlanar420Routine routine : {YUY2ToPlanar420_MMX, YUY2ToPlanar420_SSE}) {
    EXPECT_EQ(routine(64, 1, yuy2.data(), 128, y.data(), u.data(), v.data(), 64, 0, 0), 0);
    EXPECT_EQ(y, std::vector<uint8_t>(64, 0xEE));
    EXPECT_EQ(u, std::vector<uint8_t>(32, 0xEE));
  }
}

// A negative height reads the source bottom-up: the first output row shows
// the last source row, with the chroma of its own row pair.
TEST_F(WorkedExamples, NegativeHeightWritesLastSourceRowFirst) {
  constexpr int32_t kWidth = 16, kRows = 4;
  std::vector<uint8_t> luma(kWidth * kRows), u(kWidth / 2 * kRows / 2), v(u.size(), 128);
  for (int32_t r = 0; r < kRows; ++r)
    for (int32_t x = 0; x < kWidth; ++x) luma[r * kWidth + x] = static_cast<uint8_t>(40 + 50 * r);
  for (int32_t m = 0; m < kRows / 2; ++m)
    for (int32_t j = 0; j < kWidth / 2; ++j) u[m * kWidth / 2 + j] = static_cast<uint8_t>(60 + 100 * m);
  std::vector<uint8_t> up(kWidth * kRows * 4), down(up.size());
  Planar420ToBGRA_MMX(luma.data(), kWidth, u.data(), v.data(), kWidth / 2, up.data(), kWidth, kRows, kWidth,
                      &ProcessColorAdjustment(), 0);
  Planar420ToBGRA_MMX(luma.data(), kWidth, u.data(), v.data(), kWidth / 2, down.data(), kWidth, -kRows, kWidth,
                      &ProcessColorAdjustment(), 0);
  const size_t rowBytes = kWidth * 4;
  for (int32_t r = 0; r < kRows; ++r)
    EXPECT_TRUE(std::equal(down.begin() + r * rowBytes, down.begin() + (r + 1) * rowBytes,
                           up.begin() + (kRows - 1 - r) * rowBytes))
        << "output row " << r;
  EXPECT_NE(down, up);
}

// Offset 0 and gains 256 leave every sample as it is.
TEST(AdjustmentStep, UnityRecordReturnsEverySample) {
  for (int x = 0; x < 256; ++x) EXPECT_EQ(AdjustSample(static_cast<uint8_t>(x), 256, 0), x);
}

TEST(AdjustmentStep, GainFloorsOffsetWrapsAndSaturates) {
  EXPECT_EQ(AdjustSample(129, 128, 0), 128);  // (+1 * 128) / 256 floors to 0
  EXPECT_EQ(AdjustSample(127, 128, 0), 127);  // (-1 * 128) / 256 floors to -1
  EXPECT_EQ(AdjustSample(200, 512, 0), 255);  // +144 saturates to +127
  EXPECT_EQ(AdjustSample(20, 512, 0), 0);     // -216 saturates to -128
  EXPECT_EQ(AdjustSample(100, 256, 20), 120);
  EXPECT_EQ(AdjustSample(250, 256, 20), 255);
}

}  // namespace
}  // namespace pellix::test
