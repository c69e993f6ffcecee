// The component's FourCC packing and data-size arithmetic,
// compiled in directly because the library hides them.
#include <gtest/gtest.h>

#include <cstdint>

#include "component/four_cc.h"
#include "component/frame_data_size.h"

namespace {

// Each buffer is exactly as long as its text; the sanitizer build catches any
// read beyond it.
TEST(FourCCTest, ShortNamesAreNotReadPastTheirEnd) {
  const char two[2] = {'Y', '\0'};
  const char four[4] = {'B', 'G', 'R', '\0'};
  EXPECT_EQ(pellix::FourCCOf(two), 0x59u);
  EXPECT_EQ(pellix::FourCCOf(four), 0x524742u);
}

TEST(FourCCTest, PacksUpperCaseFirstCharacterLowest) {
  EXPECT_EQ(pellix::FourCCOf("iyuv"), 0x56555949u);
  EXPECT_EQ(pellix::FourCCOf("yuy2 and more"), 0x32595559u);
  EXPECT_EQ(pellix::FourCCOf("\xff\x01zz"), 0x5a5a01ffu);
  EXPECT_EQ(pellix::FourCCOf(nullptr), 0u);
}

TEST(FrameDataSizeTest, BytesOfAFrame) {
  const struct {
    int32_t bits, width, height;
    uint32_t bytes;
  } cases[] = {
      {32, 640, 480, 1228800},
      {12, 640, 480, 460800},
      {16, 640, 480, 614400},
      {12, 3, 3, 13},                       // 108 bits, rounded down
      {32, 640, -480, 1228800},             // a bottom-up height counts by size
      {32, -640, -480, 1228800},
      {12, 20000, 20000, 600000000},        // the 32-bit product of bits would wrap
      {32, 40000, 40000, 0xFFFFFFFFu},      // more than a Frame can describe
      {32, INT32_MIN, INT32_MIN, 0xFFFFFFFFu},
      {32, 0, 480, 0},
      {0, 640, 480, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(pellix::FrameDataSize(c.bits, c.width, c.height), c.bytes)
        << c.bits << " bits, " << c.width << " x " << c.height;
  }
}

}  // namespace
