// Where a variant must equal its plain routine: every Planar420ToYUY2 tier
// with a unity record, whatever the alignment and row distance of the
// destination; the YUY2ToPlanar420 de-interleave (the SSE tier differing
// only by its rounding average).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "colorconv/plain/plain_routines.h"
#include "colorconv/routines.h"
#include "colorconv/simd/simd_routines.h"
#include "tests/simd/test_seed.h"
#include "tests/simd/variant_table.h"

namespace pellix::test {
namespace {

struct Destination {
  const char* name;
  int32_t misalign;     // bytes from a 16-byte boundary
  int32_t strideExtra;  // pixels beyond the rounded-up width; -1: dstStride 36
};

constexpr Destination kDestinations[] = {
    {"aligned rows", 0, 0}, {"unaligned rows", 4, 0}, {"rows 72 bytes apart", 0, -1}, {"odd pitch", 2, 3}};

ColorAdjustment Record(int32_t isIdentity) {
  ColorAdjustment a;
  InitColorAdjustment(&a, 0, 256, 256);
  a.isIdentity = isIdentity;
  return a;
}

TEST(Planar420ToYUY2Agreement, EveryTierEqualsPlainForUnityRecords) {
  InitColorConversion();
  std::vector<Planar420ToPackedRoutine> tiers;
  for (const Variant& v : RunnableVariantsOf(RoutineId::Planar420ToYUY2)) tiers.push_back(v.packed());
  std::mt19937_64 rng(TestSeed() ^ 0x510);
  for (int32_t isIdentity : {1, 0}) {
    const ColorAdjustment record = Record(isIdentity);
    for (const Destination& d : kDestinations) {
      for (int32_t width = 1; width <= 70; ++width) {
        for (int32_t height : {1, 2, 3, 6, 8}) {
          for (int32_t interlaced : {0, 1}) {
            const int32_t rowPixels = (width + 1) & ~1;
            const int32_t dstStride = d.strideExtra < 0 ? std::max(36, rowPixels) : rowPixels + d.strideExtra;
            const int32_t lumaStride = (width + 15) & ~15;  // luma rows 16-byte aligned
            std::vector<uint8_t> luma(size_t(lumaStride) * height + 16), u(size_t(width) * height + 1), v(u.size());
            for (auto* plane : {&luma, &u, &v})
              for (auto& byte : *plane) byte = static_cast<uint8_t>(rng());
            const size_t dstBytes = size_t(2) * dstStride * height + 32;
            std::vector<uint8_t> expectedStore(dstBytes, 0xA5), actualStore(dstBytes);
            // The two stores may differ in alignment (8-byte heaps), so they
            // are compared from the destination's start on, and what lies
            // before it must be untouched.
            auto alignedStart = [&](std::vector<uint8_t>& store) {
              const uintptr_t base = reinterpret_cast<uintptr_t>(store.data());
              return store.data() + ((16 - base % 16) % 16) + d.misalign;
            };
            const size_t window = dstBytes - 20;  // past the largest start offset, 15 + 4
            auto fromStart = [&](std::vector<uint8_t>& store) {
              uint8_t* start = alignedStart(store);
              EXPECT_TRUE(std::all_of(store.data(), start, [](uint8_t b) { return b == 0xA5; }));
              return std::vector<uint8_t>(start, start + window);
            };
            const int32_t chromaStride = width / 2 + 1;
            Planar420ToYUY2(luma.data(), lumaStride, u.data(), v.data(), chromaStride, alignedStart(expectedStore),
                            width, height, dstStride, &record, interlaced);
            for (Planar420ToPackedRoutine tier : tiers) {
              std::fill(actualStore.begin(), actualStore.end(), 0xA5);
              tier(luma.data(), lumaStride, u.data(), v.data(), chromaStride, alignedStart(actualStore), width, height,
                   dstStride, &record, interlaced);
              ASSERT_EQ(fromStart(actualStore), fromStart(expectedStore)) << d.name << ", width " << width << ", height " << height
                                                    << ", interlaced " << interlaced << ", isIdentity " << isIdentity;
            }
          }
        }
      }
    }
  }
}

TEST(YUY2ToPlanar420Agreement, MmxEqualsPlainAndSseRoundsTheSecondRow) {
  InitColorConversion();
  const uint32_t needed = CpuFeature::MMX | CpuFeature::SSE;
  if ((ProcessorFeatures() & needed) != needed) GTEST_SKIP() << "needs MMX and SSE";
  std::mt19937_64 rng(TestSeed() ^ 0x6);
  for (int32_t width = 1; width <= 70; ++width) {
    for (int32_t height : {2, 3, 4, 7}) {
      const int32_t pitch = 2 * ((width + 1) & ~1) + 6;
      const int32_t stride = width + 3;
      std::vector<uint8_t> src(size_t(pitch) * height);
      for (auto& byte : src) byte = static_cast<uint8_t>(rng());
      auto run = [&](ToPlanar420Routine routine) {
        std::vector<uint8_t> planes(size_t(stride) * height * 2, 0x3C);
        uint8_t* y = planes.data();
        uint8_t* u = y + size_t(stride) * height;
        uint8_t* v = u + size_t(stride) * height / 2;
        routine(width, height, src.data(), pitch, y, u, v, stride, 0, 0);
        return planes;
      };
      const std::vector<uint8_t> plain = run(YUY2ToPlanar420);
      EXPECT_EQ(run(YUY2ToPlanar420_MMX), plain) << "width " << width << ", height " << height;
      const std::vector<uint8_t> sse = run(YUY2ToPlanar420_SSE);
      const size_t chromaStart = size_t(stride) * height;
      EXPECT_TRUE(std::equal(plain.begin(), plain.begin() + chromaStart, sse.begin()));
      for (int32_t m = 0; m < height / 2; ++m) {
        for (int32_t j = 0; j < width / 2; ++j) {
          for (int32_t plane = 0; plane < 2; ++plane) {
            const uint8_t a = src[size_t(2 * m) * pitch + 4 * j + 1 + 2 * plane];
            const uint8_t b = src[size_t(2 * m + 1) * pitch + 4 * j + 1 + 2 * plane];
            const size_t at = chromaStart + size_t(plane) * stride * height / 2 + size_t(m) * (stride / 2) + j;
            EXPECT_EQ(sse[at], plain[at] + ((a + b) & 1)) << "width " << width << ", m " << m << ", j " << j;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace pellix::test
