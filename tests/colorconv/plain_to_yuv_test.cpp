#include <gtest/gtest.h>

#include <vector>

#include "plain_test_support.h"

namespace pellix {
namespace {

using testing_support::ChromaU;
using testing_support::ChromaV;
using testing_support::LumaOf;

class PlainToYuvTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing_support::BuildTables(); }
};

std::vector<uint8_t> BgraRow(std::initializer_list<std::array<int, 3>> bgr) {
  std::vector<uint8_t> out(4 * bgr.size(), 0);
  size_t at = 0;
  for (const auto& p : bgr) {
    out[at] = uint8_t(p[0]);
    out[at + 1] = uint8_t(p[1]);
    out[at + 2] = uint8_t(p[2]);
    at += 4;
  }
  return out;
}

TEST_F(PlainToYuvTest, BlackAndWhiteFromEveryBgraRoutine) {
  for (int value : {0, 255}) {
    SCOPED_TRACE(value);
    const int y = value == 0 ? 16 : 234;
    const std::vector<uint8_t> bgra(4 * 4, static_cast<uint8_t>(value));
    uint8_t yuy2[4], uyvy[4], planeY[4], planeU[1], planeV[1];
    BGRAToYUY2(bgra.data(), 2, yuy2, 2, 1, 2);
    BGRAToUYVY(bgra.data(), 2, uyvy, 2, 1, 2);
    EXPECT_EQ(BGRAToPlanar420(2, 2, bgra.data(), 8, planeY, planeU, planeV, 2, 0, 0), 0);
    EXPECT_EQ(std::vector<uint8_t>(yuy2, yuy2 + 4), (std::vector<uint8_t>{uint8_t(y), 128, uint8_t(y), 128}));
    EXPECT_EQ(std::vector<uint8_t>(uyvy, uyvy + 4), (std::vector<uint8_t>{128, uint8_t(y), 128, uint8_t(y)}));
    EXPECT_EQ(std::vector<uint8_t>(planeY, planeY + 4), std::vector<uint8_t>(4, uint8_t(y)));
    EXPECT_EQ(planeU[0], 128);
    EXPECT_EQ(planeV[0], 128);
  }
}

// 2x2 block averages round half up; the base value sweeps every level so a
// wrong rounding changes some U or V.
TEST_F(PlainToYuvTest, BlockAverageRoundsHalfUp) {
  const struct {
    int d[4];
    int average;
  } cases[] = {{{0, 0, 0, 2}, 1}, {{0, 0, 1, 1}, 1}, {{0, 0, 0, 1}, 0}, {{0, 1, 1, 1}, 1}, {{0, 0, 0, 3}, 1}};
  for (const auto& c : cases) {
    for (int base = 0; base + 3 < 256; ++base) {
      for (int channel = 0; channel < 3; ++channel) {
        std::vector<uint8_t> bgra(16, static_cast<uint8_t>(base));
        for (int p = 0; p < 4; ++p) bgra[4 * p + channel] = static_cast<uint8_t>(base + c.d[p]);
        uint8_t planeY[4], planeU = 0, planeV = 0;
        ASSERT_EQ(BGRAToPlanar420(2, 2, bgra.data(), 8, planeY, &planeU, &planeV, 2, 0, 0), 0);
        int avg[3] = {base, base, base};
        avg[channel] += c.average;
        ASSERT_EQ(planeU, ChromaU(avg[2], avg[1], avg[0])) << base << " channel " << channel;
        ASSERT_EQ(planeV, ChromaV(avg[2], avg[1], avg[0])) << base << " channel " << channel;
      }
    }
  }
}

TEST_F(PlainToYuvTest, PairAverageRoundsHalfUp) {
  const struct {
    int a, b, average;
  } cases[] = {{0, 0, 0}, {0, 1, 1}, {10, 13, 12}, {255, 255, 255}, {254, 255, 255}, {100, 103, 102}};
  for (const auto& c : cases) {
    for (int channel = 0; channel < 3; ++channel) {
      std::vector<uint8_t> bgra(8, 60);
      bgra[channel] = static_cast<uint8_t>(c.a);
      bgra[4 + channel] = static_cast<uint8_t>(c.b);
      uint8_t yuy2[4], uyvy[4];
      BGRAToYUY2(bgra.data(), 2, yuy2, 2, 1, 2);
      BGRAToUYVY(bgra.data(), 2, uyvy, 2, 1, 2);
      int avg[3] = {60, 60, 60};
      avg[channel] = c.average;
      const int u = ChromaU(avg[2], avg[1], avg[0]), v = ChromaV(avg[2], avg[1], avg[0]);
      EXPECT_EQ(yuy2[1], u) << c.a << "," << c.b << " channel " << channel;
      EXPECT_EQ(yuy2[3], v) << c.a << "," << c.b << " channel " << channel;
      EXPECT_EQ(uyvy[0], u);
      EXPECT_EQ(uyvy[2], v);
      EXPECT_EQ(yuy2[0], LumaOf(bgra[2], bgra[1], bgra[0]));
      EXPECT_EQ(yuy2[2], LumaOf(bgra[6], bgra[5], bgra[4]));
      EXPECT_EQ(uyvy[1], yuy2[0]);
      EXPECT_EQ(uyvy[3], yuy2[2]);
    }
  }
}

TEST_F(PlainToYuvTest, BgraToPackedFillsTheWholeDestinationPitch) {
  // Width 2, destination pitch 4 pixels: the second pair (beyond the width)
  // is converted from source pixels 2 and 3.
  const std::vector<uint8_t> bgra = BgraRow({{0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {255, 255, 255}});
  std::vector<uint8_t> out(8, 7);
  BGRAToYUY2(bgra.data(), 4, out.data(), 4, 1, 2);
  EXPECT_EQ(out, (std::vector<uint8_t>{16, 128, 16, 128, 234, 128, 234, 128}));
}

TEST_F(PlainToYuvTest, PlanarFromBgraRefusesOddSizesAndFillsEvenOnes) {
  std::vector<uint8_t> bgra(6 * 4 * 4, 90);
  for (auto size : {std::pair<int, int>{6, 3}, {5, 4}, {-3, 4}, {6, -3}}) {
    std::vector<uint8_t> planes(64, 7);
    EXPECT_EQ(BGRAToPlanar420(size.first, size.second, bgra.data(), 24, planes.data(), planes.data() + 32,
                              planes.data() + 48, 6, 0, 0),
              1);
    EXPECT_EQ(planes, std::vector<uint8_t>(64, 7));
  }
  std::vector<uint8_t> planes(64, 7);
  EXPECT_EQ(BGRAToPlanar420(6, 4, bgra.data(), 24, planes.data(), planes.data() + 32, planes.data() + 48, 6, 0, 0),
            0);
  int written = 0;
  for (uint8_t b : planes) written += b != 7;
  EXPECT_EQ(written, 24 + 6 + 6);
  for (int i = 0; i < 24; ++i) EXPECT_EQ(planes[i], LumaOf(90, 90, 90));
  for (int32_t height : {0, -2}) {
    EXPECT_EQ(BGRAToPlanar420(6, height, bgra.data(), 24, planes.data(), planes.data(), planes.data(), 6, 0, 0), 0);
  }
}

TEST_F(PlainToYuvTest, PackedToPlanarAveragesChromaRowsRoundingDown) {
  // Two rows of one macropixel each: U 10 over 13, V 200 over 201.
  const uint8_t yuy2[8] = {50, 10, 51, 200, 52, 13, 53, 201};
  const uint8_t uyvy[8] = {10, 50, 200, 51, 13, 52, 201, 53};
  for (auto routine : {&YUY2ToPlanar420, &UYVYToPlanar420}) {
    const uint8_t* src = routine == &YUY2ToPlanar420 ? yuy2 : uyvy;
    uint8_t luma[4] = {}, u = 0, v = 0;
    EXPECT_EQ(routine(2, 2, src, 4, luma, &u, &v, 2, 0, 0), 0);
    EXPECT_EQ(std::vector<uint8_t>(luma, luma + 4), (std::vector<uint8_t>{50, 51, 52, 53}));
    EXPECT_EQ(u, 11);
    EXPECT_EQ(v, 200);
  }
}

TEST_F(PlainToYuvTest, PlanarToPackedCopiesSamplesAndChoosesChromaRows) {
  // 4x8 frame; chroma row k holds U 100+k and V 200+k in both columns.
  std::vector<uint8_t> luma(4 * 8);
  for (size_t i = 0; i < luma.size(); ++i) luma[i] = static_cast<uint8_t>(i * 7);
  std::vector<uint8_t> u(2 * 4), v(2 * 4);
  for (int k = 0; k < 4; ++k) u[2 * k] = u[2 * k + 1] = uint8_t(100 + k), v[2 * k] = v[2 * k + 1] = uint8_t(200 + k);
  const int32_t expectedRow[2][8] = {{0, 0, 1, 1, 2, 2, 3, 3}, {0, 1, 0, 1, 2, 3, 2, 3}};
  const ColorAdjustment adjust = testing_support::AdjustmentWithOffset(0);
  for (int32_t interlaced = 0; interlaced <= 1; ++interlaced) {
    std::vector<uint8_t> yuy2(8 * 8), uyvy(8 * 8);
    Planar420ToYUY2(luma.data(), 4, u.data(), v.data(), 2, yuy2.data(), 4, 8, 4, &adjust, interlaced);
    Planar420ToUYVY(luma.data(), 4, u.data(), v.data(), 2, uyvy.data(), 4, 8, 4, &adjust, interlaced);
    for (int row = 0; row < 8; ++row) {
      const int k = expectedRow[interlaced][row];
      for (int j = 0; j < 2; ++j) {
        const uint8_t* a = &yuy2[row * 8 + 4 * j];
        const uint8_t* b = &uyvy[row * 8 + 4 * j];
        const uint8_t y0 = luma[row * 4 + 2 * j], y1 = luma[row * 4 + 2 * j + 1];
        EXPECT_EQ(std::vector<uint8_t>(a, a + 4), (std::vector<uint8_t>{y0, uint8_t(100 + k), y1, uint8_t(200 + k)}))
            << "interlaced " << interlaced << " row " << row;
        EXPECT_EQ(std::vector<uint8_t>(b, b + 4), (std::vector<uint8_t>{uint8_t(100 + k), y0, uint8_t(200 + k), y1}))
            << "interlaced " << interlaced << " row " << row;
      }
    }
    // Packing then unpacking (progressive) gives the planes back exactly.
    if (interlaced == 0) {
      std::vector<uint8_t> backY(luma.size()), backU(u.size()), backV(v.size());
      YUY2ToPlanar420(4, 8, yuy2.data(), 8, backY.data(), backU.data(), backV.data(), 4, 0, 0);
      EXPECT_EQ(backY, luma);
      EXPECT_EQ(backU, u);
      EXPECT_EQ(backV, v);
      UYVYToPlanar420(4, 8, uyvy.data(), 8, backY.data(), backU.data(), backV.data(), 4, 0, 0);
      EXPECT_EQ(backY, luma);
      EXPECT_EQ(backU, u);
      EXPECT_EQ(backV, v);
    }
  }
}

TEST_F(PlainToYuvTest, LumaOffsetWrapsInUyvyAndIsIgnoredInYuy2) {
  const uint8_t luma[4] = {250, 5, 128, 16};
  const uint8_t u = 90, v = 160;
  const ColorAdjustment plus10 = testing_support::AdjustmentWithOffset(10);
  uint8_t yuy2[8], uyvy[8];
  Planar420ToYUY2(luma, 2, &u, &v, 1, yuy2, 2, 2, 2, &plus10, 0);
  Planar420ToUYVY(luma, 2, &u, &v, 1, uyvy, 2, 2, 2, &plus10, 0);
  EXPECT_EQ(std::vector<uint8_t>(yuy2, yuy2 + 8), (std::vector<uint8_t>{250, 90, 5, 160, 128, 90, 16, 160}));
  EXPECT_EQ(std::vector<uint8_t>(uyvy, uyvy + 8), (std::vector<uint8_t>{90, 4, 160, 15, 90, 138, 160, 26}));
}

TEST_F(PlainToYuvTest, RepackingWritesNothingBelowTwoRows) {
  const std::vector<uint8_t> src(64, 99);
  const ColorAdjustment adjust = testing_support::AdjustmentWithOffset(0);
  for (int32_t height : {1, 0, -1, -4}) {
    std::vector<uint8_t> out(64, 7);
    Planar420ToYUY2(src.data(), 4, src.data(), src.data(), 2, out.data(), 4, height, 4, &adjust, 0);
    Planar420ToUYVY(src.data(), 4, src.data(), src.data(), 2, out.data(), 4, height, 4, &adjust, 0);
    EXPECT_EQ(YUY2ToPlanar420(4, height, src.data(), 8, out.data(), out.data() + 32, out.data() + 48, 4, 0, 0), 0);
    EXPECT_EQ(UYVYToPlanar420(4, height, src.data(), 8, out.data(), out.data() + 32, out.data() + 48, 4, 0, 0), 0);
    EXPECT_EQ(BGRAToYUY2(src.data(), 2, out.data(), 2, height < 1 ? height : 0, 2), 0);
    EXPECT_EQ(BGRAToUYVY(src.data(), 2, out.data(), 2, height < 1 ? height : 0, 2), 0);
    EXPECT_EQ(out, std::vector<uint8_t>(64, 7)) << height;
  }
}

}  // namespace
}  // namespace pellix
