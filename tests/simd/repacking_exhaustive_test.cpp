// The wide repacking variants against the variants whose bytes they give,
// over whole input spaces: every lane value of the adjustment record
// (planar to YUY2 and UYVY), every pair of chroma bytes the two rows of a
// block can hold (YUY2 and UYVY to planar), every byte at every place of a
// macropixel (the byte swap). The frames are 304 pixels wide, so a row runs
// through every vector width of a kernel: 64-byte steps over pixels 0-255,
// 32-byte steps over 256-287 and 16-byte steps over 288-303 for AVX-512;
// 32-byte steps over 0-287 and 16-byte steps over the rest for AVX2. The
// contents put every value into each of those column ranges.
#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "colorconv/routines.h"
#include "formats/packed422_order.h"
#include "tests/simd/frame_models.h"
#include "tests/simd/test_frames.h"
#include "tests/simd/variant_table.h"

namespace pellix::test {
namespace {

constexpr int32_t kWidth = 304;
// Column ranges of one width of step in every kernel: [0, 256), [256, 288), [288, 304).
constexpr int32_t kStepRanges[] = {0, 256, 288, kWidth};

std::string NameOf(const testing::TestParamInfo<Variant>& info) { return info.param.name(); }

// GTEST_SKIP returns from the test body, hence a macro.
#define SKIP_UNLESS_PROCESSOR_RUNS(v)                                                               \
  do {                                                                                              \
    if (!ProcessorRuns((v).tier))                                                                   \
      GTEST_SKIP() << (v).name() << " skipped: this processor does not run " << TierName((v).tier); \
  } while (false)

// Planar 4:2:0 to packed. Luma (x + 16 r) mod 256 gives every value within
// 16 pixels over 16 rows; chroma column j of chroma row c carries U = 2j +
// 16c and V = 2j + 1 + 16c, every value within 8 columns over 16 rows.
class PlanarToPackedExhaustive : public testing::TestWithParam<Variant> {};

struct PlanarFrame {
  static constexpr int32_t kRows = 32, kChroma = kWidth / 2;
  std::vector<uint8_t> y = std::vector<uint8_t>(size_t{kWidth} * kRows);
  std::vector<uint8_t> u = std::vector<uint8_t>(size_t{kChroma} * kRows / 2);
  std::vector<uint8_t> v = u;
  PlanarFrame() {
    for (int32_t r = 0; r < kRows; ++r)
      for (int32_t x = 0; x < kWidth; ++x) y[size_t(r) * kWidth + size_t(x)] = Luma(r, x);
    for (int32_t c = 0; c < kRows / 2; ++c)
      for (int32_t j = 0; j < kChroma; ++j) {
        u[size_t(c) * kChroma + size_t(j)] = static_cast<uint8_t>(2 * j + 16 * c);
        v[size_t(c) * kChroma + size_t(j)] = static_cast<uint8_t>(2 * j + 1 + 16 * c);
      }
  }
  static uint8_t Luma(int32_t r, int32_t x) { return static_cast<uint8_t>(x + 16 * r); }
  // The destination (YUY2 or UYVY rows back to back) after `routine`.
  void Convert(Planar420ToPackedRoutine routine, const ColorAdjustment& adjust, std::vector<uint8_t>& out) const {
    out.assign(size_t{2} * kWidth * kRows, 0);
    routine(y.data(), kWidth, u.data(), v.data(), kChroma, out.data(), kWidth, kRows, kWidth, &adjust, 0);
  }
};

TEST(PlanarToPackedExhaustiveFrame, HoldsEveryValueInEveryStepRange) {
  const PlanarFrame f;
  for (size_t k = 0; k + 1 < std::size(kStepRanges); ++k) {
    std::bitset<256> luma, chroma;
    for (int32_t r = 0; r < PlanarFrame::kRows; ++r)
      for (int32_t x = kStepRanges[k]; x < kStepRanges[k + 1]; ++x) {
        const size_t column = size_t(r / 2) * PlanarFrame::kChroma + size_t(x / 2);
        luma.set(f.y[size_t(r) * kWidth + size_t(x)]);
        chroma.set(f.u[column]).set(f.v[column]);
      }
    EXPECT_TRUE(luma.all()) << "pixels from " << kStepRanges[k];
    EXPECT_TRUE(chroma.all()) << "pixels from " << kStepRanges[k];
  }
}

// Record n: luma gain n, chroma gain 40503 n and luma offset 0x9E3779B1 n
// (odd factors, so each 16-bit lane field takes all 65536 values once; the
// offset's 32-bit field, which UYVY reads, also varies above bit 16). Every
// 256th record runs a second time with its identity flag inverted: Planar420ToYUY2
// follows the flag, whatever the values.
TEST_P(PlanarToPackedExhaustive, EveryLaneValueOfTheRecord) {
  const Variant& wide = GetParam();
  SKIP_UNLESS_PROCESSOR_RUNS(wide);
  const PlanarFrame frame;
  const Planar420ToPackedRoutine reference = wide.reference().planarToPacked;
  int64_t differing = 0;
  std::vector<uint8_t> got, expected;
  for (uint32_t n = 0; n < 65536; ++n) {
    ColorAdjustment record{};
    InitColorAdjustment(&record, static_cast<int32_t>(n * 0x9E3779B1u), static_cast<int16_t>(n),
                        static_cast<int16_t>(n * 40503u));
    for (int pass = 0; pass < (n % 256 == 0 ? 2 : 1); ++pass) {
      if (pass == 1) record.isIdentity ^= 1;
      frame.Convert(wide.packed(), record, got);
      frame.Convert(reference, record, expected);
      const bool same = got == expected;
      if (!same && differing++ < 5)
        ADD_FAILURE() << "offset " << record.lumaOffset << ", luma gain " << record.lumaGain << ", chroma gain "
                      << record.chromaGain << ", identity flag " << record.isIdentity;
    }
  }
  EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(WideVariants, PlanarToPackedExhaustive,
                         testing::ValuesIn(WideVariantsOf({RoutineId::Planar420ToYUY2, RoutineId::Planar420ToUYVY})),
                         NameOf);

// Packed to planar. Row pair m, chroma column j: U carries pair number
// p = 16m + 2j (mod 65536), V pair p + 1; a pair number's high byte lies in
// the first row, its low byte in the second. 4096 pairs of rows give every
// one of the 65536 pairs within 8 columns, and one more row of luma only.
class PackedToPlanarExhaustive : public testing::TestWithParam<Variant> {};

TEST_P(PackedToPlanarExhaustive, EveryPairOfChromaBytes) {
  const Variant& wide = GetParam();
  SKIP_UNLESS_PROCESSOR_RUNS(wide);
  constexpr int32_t kPairs = 4096, kRows = 2 * kPairs + 1, kPitch = 2 * kWidth;
  const Packed422Order order = Packed422OrderOf(wide.routine->source);
  const int lumaAt = order.luma0, chromaAt = order.u;  // and every second byte after them
  std::vector<uint8_t> src(size_t{kPitch} * kRows);
  for (int32_t r = 0; r < kRows; ++r) {
    uint8_t* row = &src[size_t(r) * kPitch];
    for (int32_t x = 0; x < kWidth; ++x) row[2 * x + lumaAt] = static_cast<uint8_t>(3 * x + r);
    for (int32_t k = 0; k < kWidth; ++k) {  // chroma bytes U0 V0 U1 V1 ...: pair number 16m + k
      const uint32_t pair = (16u * uint32_t(r / 2) + uint32_t(k)) & 0xFFFF;
      row[2 * k + chromaAt] = static_cast<uint8_t>(r % 2 == 0 ? pair >> 8 : pair);
    }
  }
  struct Planes {
    std::vector<uint8_t> y = std::vector<uint8_t>(size_t{kWidth} * kRows, 0xA5);
    std::vector<uint8_t> u = std::vector<uint8_t>(size_t{kWidth / 2} * kPairs, 0xA5);
    std::vector<uint8_t> v = u;
  } got, expected;
  const ToPlanarArgs args{kWidth, kRows, src.data(), kPitch, got.y.data(), got.u.data(), got.v.data(), kWidth};
  ToPlanarArgs referenceArgs = args;
  referenceArgs.dstY = expected.y.data();
  referenceArgs.dstU = expected.u.data();
  referenceArgs.dstV = expected.v.data();
  ASSERT_EQ(args.CallWith(wide.planar()), 0);
  ASSERT_EQ(referenceArgs.CallWith(wide.reference().toPlanar), 0);
  EXPECT_EQ(FirstDifference(expected.y, got.y), -1);
  EXPECT_EQ(FirstDifference(expected.u, got.u), -1);
  EXPECT_EQ(FirstDifference(expected.v, got.v), -1);
  // Each column range of one step width saw every pair.
  for (size_t k = 0; k + 1 < std::size(kStepRanges); ++k) {
    std::vector<bool> seen(65536);
    for (int32_t m = 0; m < kPairs; ++m)
      for (int32_t c = kStepRanges[k]; c < kStepRanges[k + 1]; ++c) {  // chroma byte c of the row
        const size_t at = size_t(2 * m) * kPitch + size_t(2 * c + chromaAt);
        seen[size_t{src[at]} << 8 | src[at + kPitch]] = true;
      }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 65536) << "pixels from " << kStepRanges[k];
  }
}

INSTANTIATE_TEST_SUITE_P(WideVariants, PackedToPlanarExhaustive,
                         testing::ValuesIn(WideVariantsOf({RoutineId::YUY2ToPlanar420, RoutineId::UYVYToPlanar420})),
                         NameOf);

// The byte swap over 256 rows of 304 pixels: byte b of row r is b + r, so
// every byte position of the row, and so every place in a macropixel at
// every step width, carries every value.
class ByteSwapExhaustive : public testing::TestWithParam<Variant> {};

TEST_P(ByteSwapExhaustive, EveryValueAtEveryPlace) {
  const Variant& wide = GetParam();
  SKIP_UNLESS_PROCESSOR_RUNS(wide);
  constexpr int32_t kRows = 256, kPitch = 2 * kWidth;
  std::vector<uint8_t> src(size_t{kPitch} * kRows), got(src.size(), 0xA5), expected(src.size(), 0x5A);
  for (int32_t r = 0; r < kRows; ++r)
    for (int32_t b = 0; b < kPitch; ++b) src[size_t(r) * kPitch + size_t(b)] = static_cast<uint8_t>(b + r);
  EXPECT_EQ(wide.packedToPacked()(src.data(), kWidth, got.data(), kWidth, kRows, kWidth), 0);
  wide.reference().packedToPacked(src.data(), kWidth, expected.data(), kWidth, kRows, kWidth);
  EXPECT_EQ(FirstDifference(expected, got), -1);
}

INSTANTIATE_TEST_SUITE_P(WideVariants, ByteSwapExhaustive, testing::ValuesIn(WideVariantsOf({RoutineId::YUY2ToUYVY})),
                         NameOf);

}  // namespace
}  // namespace pellix::test
