// Exhaustive and near-exhaustive comparisons of the arithmetic variants with
// their models, and the measured differences from the plain routines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "colorconv/plain/plain_routines.h"
#include "colorconv/routines.h"
#include "colorconv/tables.h"
#include "tests/support/exhaustive_sample.h"
#include "tests/simd/frame_models.h"
#include "tests/simd/models/adjustment_model.h"
#include "tests/simd/models/bgra_to_planar420_model.h"
#include "tests/simd/models/planar420_to_bgra_model.h"
#include "tests/simd/test_frames.h"
#include "tests/simd/test_seed.h"
#include "tests/simd/variant_table.h"

namespace pellix::test {
namespace {

// Every colour once, 2^18 per call; odd calls shift the colours by 4 pixels
// so both halves of a group see every kind of colour.
TEST(BGRAToPlanar420Exhaustive, LumaOfEveryColourMatchesModel) {
  constexpr int32_t kWidth = 4096, kHeight = 64, kPerCall = kWidth * kHeight;
  std::vector<uint8_t> src(size_t{kPerCall} * 4), y(kPerCall), u(kPerCall / 4), v(kPerCall / 4);
  for (const Variant& variant : RunnableVariantsOf(RoutineId::BGRAToPlanar420)) {
    SCOPED_TRACE(variant.name());
    int64_t mismatches = 0;
    constexpr int32_t kCalls = (1 << 24) / kPerCall;
    const int32_t step = ExhaustiveSampleStep();
    for (int32_t call = ExhaustiveSampleStart(step, kCalls); call < kCalls; call += step) {
      const int32_t shift = (call & 1) * 4;
      for (int32_t p = 0; p < kPerCall; ++p) {
        const int32_t c = call * kPerCall + (p & ~(kWidth - 1)) + ((p + shift) & (kWidth - 1));
        src[4 * size_t(p)] = static_cast<uint8_t>(c);
        src[4 * size_t(p) + 1] = static_cast<uint8_t>(c >> 8);
        src[4 * size_t(p) + 2] = static_cast<uint8_t>(c >> 16);
        src[4 * size_t(p) + 3] = static_cast<uint8_t>(p);
      }
      variant.planar()(kWidth, kHeight, src.data(), kWidth * 4, y.data(), u.data(), v.data(), kWidth, 0, 0);
      for (int32_t p = 0; p < kPerCall; ++p) {
        const uint8_t* px = &src[4 * size_t(p)];
        mismatches += y[p] != LumaFromBgraMmx(px[0], px[1], px[2]);
      }
    }
    EXPECT_EQ(mismatches, 0);
  }
}

// Per-product flooring against the plain 16.16 tables over all colours.
TEST(BGRAToPlanar420Exhaustive, LumaAgainstPlainTables) {
  InitColorConversion();
  int64_t equal = 0, oneLess = 0, oneMore = 0, other = 0;
  for (int32_t c = 0; c < (1 << 24); ++c) {
    const int b = c & 255, g = (c >> 8) & 255, r = c >> 16;
    const int plain = (RedToYTable[r] + GreenToYTable[g] + BlueToYTable[b] + 0x108000) >> 16;
    const int d = LumaFromBgraMmx(static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r)) - plain;
    equal += d == 0;
    oneLess += d == -1;
    oneMore += d == 1;
    other += d < -1 || d > 1;
  }
  const double total = 1 << 24;
  std::printf("MMX luma vs plain over 2^24 colours: equal %lld (%.2f %%), one less %lld (%.2f %%), one more %lld\n",
              static_cast<long long>(equal), 100.0 * equal / total, static_cast<long long>(oneLess),
              100.0 * oneLess / total, static_cast<long long>(oneMore));
  RecordProperty("equal", std::to_string(equal));
  RecordProperty("oneLess", std::to_string(oneLess));
  RecordProperty("oneMore", std::to_string(oneMore));
  EXPECT_EQ(other, 0);
  EXPECT_EQ(oneMore, 4);
  EXPECT_NEAR(equal / total, 0.77, 0.01);
  EXPECT_NEAR(oneLess / total, 0.23, 0.01);
}

// Chroma: every 2 x 2 block of the eight extreme colours, then a large
// random frame; the whole frame against the model, and against the plain
// routine (which averages the block before converting) within 2.
void CheckChromaFrame(const std::vector<uint8_t>& src, int32_t width, int32_t height) {
  const size_t pixels = size_t(width) * size_t(height);
  std::vector<uint8_t> plainY(pixels), plainU(pixels / 4), plainV(pixels / 4);
  ASSERT_EQ(
      BGRAToPlanar420(width, height, src.data(), width * 4, plainY.data(), plainU.data(), plainV.data(), width, 0, 0),
      0);
  for (const Variant& variant : RunnableVariantsOf(RoutineId::BGRAToPlanar420)) {
    SCOPED_TRACE(variant.name());
    std::vector<uint8_t> y(pixels, 0x5A), u(pixels / 4, 0x5A), v(pixels / 4, 0x5A);
    std::vector<uint8_t> ey = y, eu = u, ev = v;
    const ToPlanarArgs args{width, height, src.data(), width * 4, y.data(), u.data(), v.data(), width};
    EXPECT_EQ(args.CallWith(variant.planar()), 0);
    BGRAToPlanar420FrameModel({width, height, src.data(), width * 4, ey.data(), eu.data(), ev.data(), width},
                              variant.average());
    EXPECT_EQ(FirstDifference(ey, y), -1);
    EXPECT_EQ(FirstDifference(eu, u), -1);
    EXPECT_EQ(FirstDifference(ev, v), -1);
    int worst = 0;
    for (size_t i = 0; i < u.size(); ++i)
      worst = std::max({worst, std::abs(u[i] - plainU[i]), std::abs(v[i] - plainV[i])});
    EXPECT_LE(worst, 2) << "chroma further from the plain routine than documented";
  }
}

TEST(BGRAToPlanar420Exhaustive, ChromaOfEveryExtremeBlock) {
  InitColorConversion();
  constexpr int32_t kBlocks = 64;  // 64 x 64 blocks = 8^4 combinations
  std::vector<uint8_t> src(size_t{2 * kBlocks} * 2 * kBlocks * 4);
  for (int32_t n = 0; n < kBlocks * kBlocks; ++n) {
    const int32_t bx = n % kBlocks, by = n / kBlocks;
    for (int32_t k = 0; k < 4; ++k) {
      const int32_t colour = (n >> (3 * k)) & 7;
      const int32_t x = 2 * bx + (k & 1), row = 2 * by + (k >> 1);
      uint8_t* px = &src[(size_t(row) * 2 * kBlocks + size_t(x)) * 4];
      for (int32_t ch = 0; ch < 3; ++ch) px[ch] = (colour >> ch) & 1 ? 255 : 0;
      px[3] = 255;
    }
  }
  CheckChromaFrame(src, 2 * kBlocks, 2 * kBlocks);
}

TEST(BGRAToPlanar420Exhaustive, ChromaOfLargeRandomFrame) {
  InitColorConversion();
  std::mt19937_64 rng(TestSeed() ^ 0xC0FFEE);
  constexpr int32_t kWidth = 2048, kHeight = 512;
  std::vector<uint8_t> src(size_t{kWidth} * kHeight * 4);
  for (auto& byte : src) byte = static_cast<uint8_t>(rng());
  CheckChromaFrame(src, kWidth, kHeight);
}

// Every (Y, U, V) triple: one call per U; chroma sample n of the 256 x 256
// frame carries V = n / 64 and its four pixels the luma 4 (n % 64) + 0..3.
// The MMX variant against the model, and the model's distance from the
// plain routine. (The wider variants are held to the MMX variant's bytes
// over every triple in bgra_output_exhaustive_test.cpp.)
TEST(Planar420ToBGRAExhaustive, EveryTripleMatchesModel) {
  InitColorConversion();
  std::vector<Variant> variants;
  for (const Variant& variant : RunnableVariantsOf(RoutineId::Planar420ToBGRA))
    if (!variant.isWide()) variants.push_back(variant);
  if (variants.empty()) GTEST_SKIP() << "no variant of Planar420ToBGRA runs on this processor";
  constexpr int32_t kSize = 256, kChroma = kSize / 2;
  std::vector<uint8_t> y(kSize * kSize), u(kChroma * kChroma), v(kChroma * kChroma);
  std::vector<uint8_t> out(size_t{kSize} * kSize * 4), plain(out.size());
  for (int32_t n = 0; n < kChroma * kChroma; ++n) {
    const int32_t cx = n % kChroma, cy = n / kChroma;
    v[n] = static_cast<uint8_t>(n / 64);
    for (int32_t k = 0; k < 4; ++k)
      y[size_t(2 * cy + (k >> 1)) * kSize + size_t(2 * cx + (k & 1))] = static_cast<uint8_t>(4 * (n % 64) + k);
  }
  const ColorAdjustment& identity = kIdentityAdjustment;
  int64_t mismatches = 0;
  int inRangeLow[3] = {0, 0, 0}, inRangeHigh[3] = {0, 0, 0}, outsideWorst = 0;
  const int32_t step = ExhaustiveSampleStep();
  for (int32_t uValue = ExhaustiveSampleStart(step, 256); uValue < 256; uValue += step) {
    for (const Variant& variant : variants) {
      SCOPED_TRACE(variant.name());
      std::fill(u.begin(), u.end(), static_cast<uint8_t>(uValue));
      variant.packed()(y.data(), kSize, u.data(), v.data(), kChroma, out.data(), kSize, kSize, kSize, &identity, 0);
      Planar420ToBGRA(y.data(), kSize, u.data(), v.data(), kChroma, plain.data(), kSize, kSize, kSize, &identity, 0);
      for (int32_t row = 0; row < kSize; ++row) {
        for (int32_t x = 0; x < kSize; ++x) {
          const size_t p = size_t(row) * kSize + size_t(x);
          const uint8_t yv = y[p], vv = v[size_t(row / 2) * kChroma + size_t(x / 2)];
          uint8_t expected[4];
          YuvToBgraMmx(yv, static_cast<uint8_t>(uValue), vv, expected);
          for (int ch = 0; ch < 4; ++ch) mismatches += out[4 * p + ch] != expected[ch];
          const bool nominal = yv >= 16 && yv <= 235 && uValue >= 16 && uValue <= 240 && vv >= 16 && vv <= 240;
          for (int ch = 0; ch < 3; ++ch) {
            const int d = out[4 * p + ch] - plain[4 * p + ch];
            if (nominal) {
              inRangeLow[ch] = std::min(inRangeLow[ch], d);
              inRangeHigh[ch] = std::max(inRangeHigh[ch], d);
            } else {
              outsideWorst = std::max(outsideWorst, std::abs(d));
            }
          }
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
  // Blue and red within -2..+1 of the plain routine, green within -3..+2,
  // inside the nominal ranges; up to 30 outside them (no input clamp).
  EXPECT_GE(inRangeLow[0], -2);
  EXPECT_LE(inRangeHigh[0], 1);
  EXPECT_GE(inRangeLow[1], -3);
  EXPECT_LE(inRangeHigh[1], 2);
  EXPECT_GE(inRangeLow[2], -2);
  EXPECT_LE(inRangeHigh[2], 1);
  EXPECT_LE(outsideWorst, 30);
}

}  // namespace
}  // namespace pellix::test
