// Odd and tiny sizes on buffers that end (or start) at an inaccessible page:
// every pixel inside the frame is written, nothing outside is touched.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "formats/planar_layout.h"
#include "tests/support/rig/guarded_buffer.h"
#include "plain_test_support.h"

namespace pellix {
namespace {

using Edge = GuardedBuffer::Edge;

TEST(ChromaRowsTest, RowAndColumnChoice) {
  const struct {
    int32_t height, interlaced;
    std::vector<int32_t> rows;
  } cases[] = {
      {8, 0, {0, 0, 1, 1, 2, 2, 3, 3}},
      {8, 1, {0, 1, 0, 1, 2, 3, 2, 3}},
      {7, 0, {0, 0, 1, 1, 2, 2, 2}},
      {6, 1, {0, 1, 0, 1, 2, 2}},
      {7, 1, {0, 1, 0, 1, 2, 2, 2}},
      {2, 1, {0, 0}},
      {3, 0, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    for (int32_t row = 0; row < c.height; ++row) {
      EXPECT_EQ(ChromaRowForLumaRow(row, c.height, c.interlaced), c.rows[row])
          << "height " << c.height << " interlaced " << c.interlaced << " row " << row;
    }
  }
  const int32_t columns5[] = {0, 0, 1, 1, 1};
  for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(ChromaColumnForPixel(x, 5), columns5[x]);
  EXPECT_EQ(ChromaColumnForPixel(3, 4), 1);
}

// A plane of exactly `size` bytes against a guard page, filled at random.
struct Plane {
  Plane(size_t size, Edge edge, std::mt19937& rng) : buffer(std::make_unique<GuardedBuffer>(size, edge)) {
    for (size_t i = 0; i < size; ++i) buffer->data()[i] = static_cast<uint8_t>(rng());
  }
  uint8_t* data() const { return buffer->data(); }
  std::vector<uint8_t> bytes() const { return {buffer->data(), buffer->data() + buffer->size()}; }
  std::unique_ptr<GuardedBuffer> buffer;
};

struct Size {
  int32_t width, height, stride;
};

const Size kSizes[] = {{2, 2, 2}, {3, 3, 3}, {3, 3, 5}, {5, 7, 5}, {5, 7, 8}, {17, 9, 17}, {17, 9, 20}, {2, 5, 2},
                       {7, 2, 7}, {4, 6, 4}, {33, 3, 40}};

class PlainOddSizeTest : public ::testing::TestWithParam<Edge> {
 protected:
  static void SetUpTestSuite() { testing_support::BuildTables(); }
  std::mt19937 rng{1234};
};

// Bytes a planar source of this size occupies: luma rows, then (w/2) x (h/2)
// chroma samples per plane with rows of `chromaStride`.
size_t LumaBytes(const Size& s) { return size_t(s.height - 1) * s.stride + s.width; }
size_t ChromaBytes(const Size& s, int32_t chromaStride) {
  return size_t(s.height / 2 - 1) * chromaStride + s.width / 2;
}

TEST_P(PlainOddSizeTest, PlanarToPackedAndBgraWriteEveryPixel) {
  const ColorAdjustment adjust = testing_support::AdjustmentWithOffset(0);
  for (const Size& s : kSizes) {
    for (int32_t interlaced = 0; interlaced <= 1; ++interlaced) {
      SCOPED_TRACE(::testing::Message() << s.width << "x" << s.height << " stride " << s.stride << " interlaced "
                                        << interlaced);
      const int32_t chromaStride = s.stride / 2;
      Plane y(LumaBytes(s), GetParam(), rng), u(ChromaBytes(s, chromaStride), GetParam(), rng),
          v(ChromaBytes(s, chromaStride), GetParam(), rng);
      const int32_t packedStride = s.stride + (s.stride & 1);
      const size_t macropixelBytes = 4 * size_t((s.width + 1) / 2);
      Plane yuy2(size_t(s.height - 1) * 2 * packedStride + macropixelBytes, GetParam(), rng);
      Plane uyvy(yuy2.buffer->size(), GetParam(), rng);
      Plane bgra(size_t(s.height - 1) * 4 * s.stride + 4 * size_t(s.width), GetParam(), rng);
      Planar420ToYUY2(y.data(), s.stride, u.data(), v.data(), chromaStride, yuy2.data(), s.width, s.height,
                      packedStride, &adjust, interlaced);
      Planar420ToUYVY(y.data(), s.stride, u.data(), v.data(), chromaStride, uyvy.data(), s.width, s.height,
                      packedStride, &adjust, interlaced);
      const std::vector<uint8_t> bgraBefore = bgra.bytes();
      Planar420ToBGRA(y.data(), s.stride, u.data(), v.data(), chromaStride, bgra.data(), s.width, s.height, s.stride,
                      &adjust, interlaced);
      const auto planar = testing_support::YuvToBgraRoutines()[0];
      for (int32_t row = 0; row < s.height; ++row) {
        const int32_t chromaRow = ChromaRowForLumaRow(row, s.height, interlaced);
        for (int32_t x = 0; x < s.width + (s.width & 1); ++x) {
          const int32_t column = ChromaColumnForPixel(x < s.width ? x : s.width - 1, s.width);
          const uint8_t luma = y.data()[row * s.stride + (x < s.width ? x : s.width - 1)];
          const uint8_t cu = u.data()[chromaRow * chromaStride + column];
          const uint8_t cv = v.data()[chromaRow * chromaStride + column];
          const uint8_t* a = yuy2.data() + row * 2 * packedStride + 2 * x;
          const uint8_t* b = uyvy.data() + row * 2 * packedStride + 2 * x;
          ASSERT_EQ(a[0], luma) << row << "," << x;
          ASSERT_EQ(a[1], x % 2 == 0 ? cu : cv) << row << "," << x;
          ASSERT_EQ(b[1], luma) << row << "," << x;
          ASSERT_EQ(b[0], x % 2 == 0 ? cu : cv) << row << "," << x;
          if (x < s.width) {
            const testing_support::Bgra want = planar.convert(luma, cu, cv);
            const uint8_t* p = bgra.data() + row * 4 * s.stride + 4 * x;
            ASSERT_EQ((testing_support::Bgra{p[0], p[1], p[2], p[3]}), want) << row << "," << x;
          }
        }
        // Stride padding of the BGRA rows is left alone.
        for (size_t i = size_t(row) * 4 * s.stride + 4 * size_t(s.width);
             row + 1 < s.height && i < size_t(row + 1) * 4 * s.stride; ++i) {
          ASSERT_EQ(bgra.data()[i], bgraBefore[i]) << i;
        }
      }
    }
  }
}

TEST_P(PlainOddSizeTest, PackedToPlanarWritesEveryLumaPixelAndWholeChromaBlocks) {
  for (const Size& s : kSizes) {
    SCOPED_TRACE(::testing::Message() << s.width << "x" << s.height << " stride " << s.stride);
    const int32_t packedStride = s.stride + (s.stride & 1);
    const size_t macropixelBytes = 4 * size_t((s.width + 1) / 2);
    Plane yuy2(size_t(s.height - 1) * 2 * packedStride + macropixelBytes, GetParam(), rng);
    std::vector<uint8_t> uyvy(yuy2.bytes());
    for (size_t i = 0; i + 1 < uyvy.size(); i += 2) std::swap(uyvy[i], uyvy[i + 1]);
    Plane uyvyPlane(uyvy.size(), GetParam(), rng);
    std::memcpy(uyvyPlane.data(), uyvy.data(), uyvy.size());

    for (const bool fromUyvy : {false, true}) {
      Plane y(LumaBytes(s), GetParam(), rng), u(ChromaBytes(s, s.stride / 2), GetParam(), rng),
          v(ChromaBytes(s, s.stride / 2), GetParam(), rng);
      const auto routine = fromUyvy ? &UYVYToPlanar420 : &YUY2ToPlanar420;
      const std::vector<uint8_t> lumaBefore = y.bytes();
      EXPECT_EQ(routine(s.width, s.height, fromUyvy ? uyvyPlane.data() : yuy2.data(), 2 * packedStride, y.data(),
                        u.data(), v.data(), s.stride, 0, 0),
                0);
      const uint8_t* src = yuy2.data();
      for (int32_t row = 0; row < s.height; ++row) {
        for (int32_t x = 0; x < s.stride && size_t(row) * s.stride + x < y.buffer->size(); ++x) {
          const uint8_t got = y.data()[row * s.stride + x];
          if (x < s.width) {
            ASSERT_EQ(got, src[row * 2 * packedStride + 2 * x]) << row << "," << x;
          } else {
            ASSERT_EQ(got, lumaBefore[row * s.stride + x]) << row << "," << x;
          }
        }
      }
      for (int32_t k = 0; k < s.height / 2; ++k) {
        for (int32_t j = 0; j < s.width / 2; ++j) {
          const uint8_t* top = src + 2 * k * 2 * packedStride + 4 * j;
          const uint8_t* bottom = top + 2 * packedStride;
          const int64_t row = ChromaRowOffset(k, s.stride, ChromaRowRule::HalvedStride);
          ASSERT_EQ(u.data()[row + j], (top[1] + bottom[1]) >> 1);
          ASSERT_EQ(v.data()[row + j], (top[3] + bottom[3]) >> 1);
        }
      }
    }
  }
}

TEST_P(PlainOddSizeTest, WholePitchRoutinesStayInsideTheirRows) {
  // Shape-B routines convert the whole pitch; buffers hold exactly the rows.
  for (const Size& s : kSizes) {
    SCOPED_TRACE(::testing::Message() << s.width << "x" << s.height << " stride " << s.stride);
    const int32_t packedStride = s.stride + (s.stride & 1);
    const size_t pairs = size_t(packedStride / 2);
    Plane yuy2(size_t(s.height - 1) * 2 * packedStride + 4 * pairs, GetParam(), rng);
    Plane bgra(size_t(s.height - 1) * 4 * packedStride + 8 * pairs, GetParam(), rng);
    YUY2ToBGRA(yuy2.data(), packedStride, bgra.data(), packedStride, s.height, s.width);
    UYVYToBGRA(yuy2.data(), packedStride, bgra.data(), packedStride, s.height, s.width);
    BGRAToYUY2(bgra.data(), packedStride, yuy2.data(), packedStride, s.height, s.width);
    BGRAToUYVY(bgra.data(), packedStride, yuy2.data(), packedStride, s.height, s.width);
    for (size_t row = 0; row < size_t(s.height); ++row) {
      for (size_t x = 0; x < 2 * pairs; ++x) ASSERT_EQ(bgra.data()[row * 4 * packedStride + 4 * x + 3], 255);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(GuardEdges, PlainOddSizeTest, ::testing::Values(Edge::End, Edge::Start),
                         [](const ::testing::TestParamInfo<Edge>& info) {
                           return info.param == Edge::End ? std::string("BufferEndsAtGuard")
                                                          : std::string("BufferStartsAfterGuard");
                         });

}  // namespace
}  // namespace pellix
