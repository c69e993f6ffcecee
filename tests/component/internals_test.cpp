// The component's name parsing, FourCC packing and data-size arithmetic,
// compiled in directly because the library hides them.
#include <gtest/gtest.h>

#include <cstdint>

#include "component/format_names.h"
#include "component/frame_data_size.h"

namespace {

using pellix::PixelFormat;

TEST(FormatNamesTest, ParsesTheFirstFourCharacters) {
  const struct {
    const char* name;
    PixelFormat format;
  } cases[] = {
      {"IYUV", PixelFormat::I420}, {"I420", PixelFormat::I420}, {"YV12", PixelFormat::YV12},
      {"UYVY", PixelFormat::UYVY}, {"YUY2", PixelFormat::YUY2}, {"BGRA", PixelFormat::BGRA},
      {"I420xyz", PixelFormat::I420}, {"i420", PixelFormat::None}, {"YV1", PixelFormat::None},
      {"", PixelFormat::None},     {nullptr, PixelFormat::None}, {"IYU\0V", PixelFormat::None},
  };
  for (const auto& c : cases) EXPECT_EQ(pellix::ParseFormatName(c.name), c.format) << (c.name ? c.name : "null");
}

TEST(FormatNamesTest, ShortNamesAreNotReadPastTheirEnd) {
  // Each buffer is exactly as long as its text; the sanitizer build catches
  // any read beyond it.
  const char one[1] = {'\0'};
  const char two[2] = {'Y', '\0'};
  const char four[4] = {'B', 'G', 'R', '\0'};
  for (const char* name : {one, two, four}) {
    EXPECT_EQ(pellix::ParseFormatName(name), PixelFormat::None);
  }
  EXPECT_EQ(pellix::FourCCOf(two), 0x59u);
  EXPECT_EQ(pellix::FourCCOf(four), 0x524742u);
}

TEST(FormatNamesTest, FourCCPacksUpperCaseFirstCharacterLowest) {
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
