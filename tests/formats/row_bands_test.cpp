// Band splitting: bands tile the frame in order, inner boundaries are
// aligned, and frames too small to split stay whole.
#include "formats/row_bands.h"

#include <gtest/gtest.h>

namespace pellix {
namespace {

struct BandCase {
  int32_t height;
  int32_t count;
  size_t expectedBands;
};

class RowBandsTest : public ::testing::TestWithParam<BandCase> {};

TEST_P(RowBandsTest, TileTheFrameWithAlignedInnerBoundaries) {
  const BandCase c = GetParam();
  const std::vector<RowBand> bands = SplitIntoRowBands(c.height, c.count);
  ASSERT_EQ(bands.size(), c.expectedBands);
  int32_t next = 0;
  for (size_t i = 0; i < bands.size(); ++i) {
    EXPECT_EQ(bands[i].firstRow, next) << "band " << i;
    EXPECT_GT(bands[i].rows, 0) << "band " << i;
    EXPECT_EQ(bands[i].firstRow % kRowBandAlignment, 0) << "band " << i;
    next = bands[i].firstRow + bands[i].rows;
  }
  EXPECT_EQ(next, c.height);
  if (bands.size() > 1) {
    // Even spread: no band is more than one alignment unit (plus the
    // leftover rows of the last) larger than another.
    for (const RowBand& b : bands) EXPECT_GE(b.rows, kRowBandAlignment);
  }
}

INSTANTIATE_TEST_SUITE_P(Heights, RowBandsTest,
                         ::testing::Values(BandCase{1080, 4, 4}, BandCase{2160, 3, 3}, BandCase{1081, 2, 2},
                                           BandCase{1083, 8, 8}, BandCase{7, 4, 1}, BandCase{8, 4, 2},
                                           BandCase{11, 4, 2}, BandCase{4, 4, 1}, BandCase{1, 4, 1},
                                           BandCase{480, 1, 1}, BandCase{480, 0, 1}, BandCase{20, 100, 5}));

// Heights a host would refuse anyway are never split.
TEST(RowBands, NonPositiveHeightsStayOneBand) {
  for (int32_t height : {0, -1, -8, -1080}) {
    const std::vector<RowBand> bands = SplitIntoRowBands(height, 4);
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].firstRow, 0);
    EXPECT_EQ(bands[0].rows, height);
  }
}

}  // namespace
}  // namespace pellix
