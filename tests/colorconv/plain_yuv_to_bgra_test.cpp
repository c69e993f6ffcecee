#include <gtest/gtest.h>

#include <vector>

#include "plain_test_support.h"

namespace pellix {
namespace {

using testing_support::Bgra;

class PlainYuvToBgraTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing_support::BuildTables(); }
};

TEST_F(PlainYuvToBgraTest, WorkedExamples) {
  const struct {
    uint8_t y, u, v;
    Bgra expected;
  } cases[] = {
      {128, 128, 128, {130, 130, 130, 255}}, {16, 128, 128, {0, 0, 0, 255}},
      {235, 128, 128, {255, 255, 255, 255}}, {255, 128, 128, {255, 255, 255, 255}},
      {128, 100, 200, {74, 83, 245, 255}},
  };
  for (const auto& routine : testing_support::YuvToBgraRoutines()) {
    for (const auto& c : cases) {
      EXPECT_EQ(routine.convert(c.y, c.u, c.v), c.expected)
          << routine.name << " Y " << int(c.y) << " U " << int(c.u) << " V " << int(c.v);
    }
  }
}

TEST_F(PlainYuvToBgraTest, InputsOutsideVideoRangeClampAndAlphaIsOpaque) {
  for (const auto& routine : testing_support::YuvToBgraRoutines()) {
    SCOPED_TRACE(routine.name);
    for (int x = 0; x < 256; ++x) {
      const uint8_t s = static_cast<uint8_t>(x);
      const uint8_t lumaLimit = x < 16 ? 16 : (x > 235 ? 235 : s);
      const uint8_t chromaLimit = x < 16 ? 16 : (x > 240 ? 240 : s);
      EXPECT_EQ(routine.convert(s, 90, 170), routine.convert(lumaLimit, 90, 170)) << x;
      EXPECT_EQ(routine.convert(120, s, 170), routine.convert(120, chromaLimit, 170)) << x;
      EXPECT_EQ(routine.convert(120, 90, s), routine.convert(120, 90, chromaLimit)) << x;
      EXPECT_EQ(routine.convert(s, s, s)[3], 255) << x;
    }
  }
}

TEST_F(PlainYuvToBgraTest, PlanarLumaOffsetIsAddedBeforeTheClamp) {
  const uint8_t luma[4] = {100, 230, 20, 128};
  const uint8_t u = 128, v = 128;
  uint8_t withOffset[16] = {}, shifted[16] = {};
  const ColorAdjustment plus20 = testing_support::AdjustmentWithOffset(20);
  const ColorAdjustment identity = testing_support::AdjustmentWithOffset(0);
  Planar420ToBGRA(luma, 2, &u, &v, 1, withOffset, 2, 2, 2, &plus20, 0);
  const uint8_t lumaPlus20[4] = {120, 250, 40, 148};
  Planar420ToBGRA(lumaPlus20, 2, &u, &v, 1, shifted, 2, 2, 2, &identity, 0);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(withOffset[i], shifted[i]) << i;
}

// Rows of an 8-row planar frame and the chroma row each must use.
TEST_F(PlainYuvToBgraTest, ChromaRowChoiceProgressiveAndFieldWise) {
  const int32_t expectedRow[2][8] = {{0, 0, 1, 1, 2, 2, 3, 3}, {0, 1, 0, 1, 2, 3, 2, 3}};
  // Four chroma rows of distinct V give four distinct reds.
  std::vector<uint8_t> luma(2 * 8, 128), u(4, 128), v = {40, 90, 170, 220};
  const ColorAdjustment adjust = testing_support::AdjustmentWithOffset(0);
  for (int32_t interlaced = 0; interlaced <= 1; ++interlaced) {
    std::vector<uint8_t> out(2 * 4 * 8);
    Planar420ToBGRA(luma.data(), 2, u.data(), v.data(), 1, out.data(), 2, 8, 2, &adjust, interlaced);
    for (int row = 0; row < 8; ++row) {
      const Bgra want = testing_support::YuvToBgraRoutines()[0].convert(128, 128, v[expectedRow[interlaced][row]]);
      EXPECT_EQ(out[row * 8 + 2], want[2]) << "interlaced " << interlaced << " row " << row;
      EXPECT_EQ(out[row * 8 + 6], want[2]) << "interlaced " << interlaced << " row " << row;
    }
  }
}

TEST_F(PlainYuvToBgraTest, PackedSourceConvertsTheWholePitch) {
  // Width 2 with a pitch of 4 pixels: both macropixels are converted.
  const uint8_t yuy2[8] = {16, 128, 16, 128, 235, 128, 235, 128};
  std::vector<uint8_t> out(16, 7);
  YUY2ToBGRA(yuy2, 4, out.data(), 4, 1, 2);
  const std::vector<uint8_t> expected = {0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255};
  EXPECT_EQ(out, expected);
}

TEST_F(PlainYuvToBgraTest, NonPositiveHeightWritesNothing) {
  const uint8_t luma[8] = {128, 128, 128, 128, 128, 128, 128, 128};
  const uint8_t chroma[4] = {100, 100, 200, 200};
  const ColorAdjustment adjust = testing_support::AdjustmentWithOffset(0);
  for (int32_t height : {0, -1, -2, -100}) {
    std::vector<uint8_t> out(32, 7);
    Planar420ToBGRA(luma, 2, chroma, chroma + 2, 1, out.data(), 2, height, 2, &adjust, 0);
    YUY2ToBGRA(luma, 2, out.data(), 2, height, 2);
    UYVYToBGRA(luma, 2, out.data(), 2, height, 2);
    EXPECT_EQ(out, std::vector<uint8_t>(32, 7)) << height;
  }
}

}  // namespace
}  // namespace pellix
