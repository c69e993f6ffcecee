#include "bench/bench_frames.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace pellix::bench {
namespace {

struct LayoutCase {
  PixelFormat format;
  size_t bytes;
  int pitch0;
  ptrdiff_t uOffset;  // 0 for packed formats
  ptrdiff_t vOffset;
};

// 352x288 frames with the stride equal to the width.
const LayoutCase kLayouts[] = {
    {PixelFormat::I420, 152064, 352, 101376, 126720}, {PixelFormat::YV12, 152064, 352, 126720, 101376},
    {PixelFormat::YUY2, 202752, 704, 0, 0},           {PixelFormat::UYVY, 202752, 704, 0, 0},
    {PixelFormat::BGRA, 405504, 1408, 0, 0},
};

TEST(BenchFrame, PlanesLieWhereTheConvertersPutThem) {
  for (const LayoutCase& c : kLayouts) {
    SCOPED_TRACE(FormatName(c.format));
    BenchFrame frame(c.format, 352, 288);
    EXPECT_EQ(frame.bytes(), c.bytes);
    EXPECT_EQ(FrameBytes(c.format, 288, 352), c.bytes);
    EXPECT_EQ(frame.dataSize(), c.bytes);
    EXPECT_EQ(frame.imageProperties.stride, 352);
    const ImageRef ref = ImageRefOf(frame);
    EXPECT_EQ(ref.plane[0], frame.data());
    EXPECT_EQ(ref.pitch[0], c.pitch0);
    if (c.uOffset != 0) {
      EXPECT_EQ(ref.plane[1] - frame.data(), c.uOffset);
      EXPECT_EQ(ref.plane[2] - frame.data(), c.vOffset);
      EXPECT_EQ(ref.pitch[1], 176);
      EXPECT_EQ(ref.pitch[2], 176);
    } else {
      EXPECT_EQ(ref.plane[1], nullptr);
    }
  }
}

TEST(BenchFrame, RefusesSizesWhereTheTwoPlaneRulesDisagree) {
  EXPECT_THROW(BenchFrame(PixelFormat::I420, 350, 288), std::invalid_argument);
  EXPECT_THROW(BenchFrame(PixelFormat::I420, 352, 287), std::invalid_argument);
  EXPECT_THROW(BenchFrame(PixelFormat::BGRA, 0, 2), std::invalid_argument);
  EXPECT_THROW(BenchFrame(PixelFormat::None, 4, 2), std::invalid_argument);
}

TEST(BenchFrame, BuffersStartOnAPage) {
  for (const LayoutCase& c : kLayouts) {
    BenchFrame frame(c.format, 36, 2);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(frame.data()) % 4096, 0u);
  }
}

TEST(FillPattern, StaysInVideoRangeAndKeepsAlphaOpaque) {
  std::vector<uint8_t> yuv(4096), bgra(4096);
  FillPatternBytes(yuv.data(), yuv.size(), PixelFormat::YUY2, 7);
  FillPatternBytes(bgra.data(), bgra.size(), PixelFormat::BGRA, 7);
  for (uint8_t v : yuv) {
    EXPECT_GE(v, 16);
    EXPECT_LE(v, 235);
  }
  for (size_t i = 3; i < bgra.size(); i += 4) EXPECT_EQ(bgra[i], 255);
}

TEST(FillPattern, IsDeterministicPerSeed) {
  std::vector<uint8_t> a(1024), b(1024), c(1024);
  FillPatternBytes(a.data(), a.size(), PixelFormat::I420, 3);
  FillPatternBytes(b.data(), b.size(), PixelFormat::I420, 3);
  FillPatternBytes(c.data(), c.size(), PixelFormat::I420, 4);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
}

TEST(FillPattern, WritesNothingPastAnOddLengthBgraBuffer) {
  std::vector<uint8_t> bgra(11, 0x5A);
  FillPatternBytes(bgra.data(), 10, PixelFormat::BGRA, 1);
  EXPECT_EQ(bgra[10], 0x5A);
  EXPECT_EQ(bgra[8], 0x5A);  // a partial pixel is left alone
}

TEST(FillGradient, NeighbouringLumaDiffersByAtMostOne) {
  for (PixelFormat f : {PixelFormat::I420, PixelFormat::YV12, PixelFormat::YUY2, PixelFormat::UYVY}) {
    SCOPED_TRACE(FormatName(f));
    BenchFrame frame(f, 64, 4);
    frame.fillGradient();
    const ImageRef ref = ImageRefOf(frame);
    const bool planar = f == PixelFormat::I420 || f == PixelFormat::YV12;
    const int step = planar ? 1 : 2;
    const int first = f == PixelFormat::UYVY ? 1 : 0;
    for (int y = 0; y < 4; ++y) {
      const uint8_t* row = ref.plane[0] + y * ref.pitch[0];
      for (int x = 1; x < 64; ++x) {
        const int a = row[first + (x - 1) * step];
        const int b = row[first + x * step];
        EXPECT_LE(std::abs(a - b), 1) << "x " << x << " y " << y;
        EXPECT_GE(b, 16);
        EXPECT_LE(b, 235);
      }
    }
  }
}

}  // namespace
}  // namespace pellix::bench
