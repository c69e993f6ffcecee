#include "host/frame_layout.h"

#include <gtest/gtest.h>

namespace pellix {
namespace {

TEST(FrameLayout, FormatNamesByFirstFourCharacters) {
  struct Case {
    const char* name;
    std::optional<PixelFormat> format;
  };
  const Case cases[] = {{"IYUV", PixelFormat::I420}, {"I420", PixelFormat::I420},
                        {"YV12 and more", PixelFormat::YV12}, {"YUY2", PixelFormat::YUY2},
                        {"UYVY", PixelFormat::UYVY}, {"BGRA", PixelFormat::BGRA},
                        {"i420", std::nullopt}, {"YV1", std::nullopt}, {"", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(FormatFromName(c.name), c.format) << c.name;
}

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
