#include "host/frame_layout.h"

#include <gtest/gtest.h>

namespace pellix {
namespace {

TEST(FrameLayout, PlanarPlanesOfCif) {
  const FrameLayout i420 = LayoutFor(PixelFormat::I420, 352, 288, 352);
  ASSERT_EQ(i420.planeCount, 3);
  EXPECT_EQ(i420.planes[1].offset, 101376u);
  EXPECT_EQ(i420.planes[2].offset, 126720u);
  EXPECT_EQ(i420.planes[1].rows, 144u);
  EXPECT_EQ(i420.planes[1].rowBytes, 176u);
  EXPECT_EQ(i420.bytes, 152064u);
  const FrameLayout yv12 = LayoutFor(PixelFormat::YV12, 352, 288, 352);
  EXPECT_EQ(yv12.planes[1].offset, 126720u) << "U follows V in YV12";
  EXPECT_EQ(yv12.planes[2].offset, 101376u);
}

TEST(FrameLayout, SecondChromaPlaneRuleDependsOnTheSide) {
  EXPECT_EQ(LayoutFor(PixelFormat::I420, 6, 2, 6, PlaneRule::Source).planes[2].offset, 14u);
  EXPECT_EQ(LayoutFor(PixelFormat::I420, 6, 2, 6, PlaneRule::Destination).planes[2].offset, 15u);
}

// A planar frame made from BGRA has chroma row m at (m * stride) / 2: with an
// odd stride its rows are alternately floor and ceil of stride / 2 apart.
TEST(FrameLayout, ChromaRowsFollowTheRowRule) {
  const struct {
    ChromaRowRule rule;
    uint64_t rows[4];
  } cases[] = {
      {ChromaRowRule::HalvedStride, {0, 3, 6, 9}},
      {ChromaRowRule::HalfOfLumaOffset, {0, 3, 7, 10}},
  };
  for (const auto& c : cases) {
    const FrameLayout yv12 = LayoutFor(PixelFormat::YV12, 6, 8, 7, PlaneRule::Destination, c.rule);
    for (uint64_t row = 0; row < 4; ++row) {
      EXPECT_EQ(yv12.planes[1].rowOffset(row) - yv12.planes[1].offset, c.rows[row]) << row;
      EXPECT_EQ(yv12.planes[2].rowOffset(row) - yv12.planes[2].offset, c.rows[row]) << row;
    }
    EXPECT_EQ(yv12.planes[0].rowOffset(3), 21u);
  }
  // The last chroma row of the later plane ends inside the layout's bytes.
  const FrameLayout last =
      LayoutFor(PixelFormat::I420, 6, 8, 7, PlaneRule::Destination, ChromaRowRule::HalfOfLumaOffset);
  EXPECT_GE(last.bytes, last.planes[2].rowOffset(3) + last.planes[2].rowBytes);
}

TEST(FrameLayout, PackedRowsAndPaddedBytes) {
  const FrameLayout yuy2 = LayoutFor(PixelFormat::YUY2, 352, 288, 352);
  EXPECT_EQ(yuy2.planes[0].pitch, 704u);
  const FrameLayout bgra = LayoutFor(PixelFormat::BGRA, 352, 288, 360);
  EXPECT_EQ(bgra.planes[0].pitch, 1440u);
  EXPECT_EQ(bgra.planes[0].rowBytes, 1408u);
  EXPECT_EQ(bgra.bytes, 1440u * 288u);
  EXPECT_EQ(bgra.packedBytes(), 1408u * 288u);
  const FrameLayout odd = LayoutFor(PixelFormat::UYVY, 5, 3, DefaultStride(PixelFormat::UYVY, 5));
  EXPECT_EQ(odd.stride, 6);
  EXPECT_EQ(odd.planes[0].rowBytes, 12u) << "an odd row ends in a whole macropixel";
  EXPECT_EQ(LayoutFor(PixelFormat::I420, 5, 3, 5).packedBytes(), 15u + 2u * 2u * 1u);
}

TEST(FrameLayout, CapacityRoundsUpAndUsesSixtyFourBits) {
  EXPECT_EQ(CapacityFor(12, 3, 3), 14u);
  EXPECT_EQ(CapacityFor(32, 65536, 65536), 17179869184ull);
  EXPECT_EQ(CapacityFor(32, -1, 5), 0u);
}

}  // namespace
}  // namespace pellix
