// The checker: every variant of every slot, for each tier this processor
// has, on the same random frames (widths 1 to 70, odd and tiny heights,
// strides beyond the width, planes ending at or starting after a guard
// page), compared bit for bit with the model of its own arithmetic over the
// whole mapping of each destination plane, so a stray write anywhere shows.
// MMX state must be empty after every call.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "tests/simd/fpu_state.h"
#include "tests/simd/frame_models.h"
#include "tests/simd/test_frames.h"
#include "tests/simd/test_seed.h"
#include "tests/simd/variant_table.h"

namespace pellix::test {
namespace {

using Edge = GuardedBuffer::Edge;

constexpr int kCasesPerVariant = 600;

// Same inputs for every variant of a slot: the generator depends on the
// seed, the slot and the case number only.
std::mt19937_64 CaseGenerator(int slot, int index) {
  std::seed_seq seq{static_cast<uint32_t>(TestSeed()), static_cast<uint32_t>(TestSeed() >> 32),
                    static_cast<uint32_t>(slot), static_cast<uint32_t>(index)};
  return std::mt19937_64(seq);
}

ColorAdjustment RandomAdjustment(std::mt19937_64& rng, int index) {
  ColorAdjustment a{};
  auto fill = [&](int16_t offset, int16_t lumaGain, int16_t chromaGain) {
    for (int lane = 0; lane < 4; ++lane) {
      a.lumaOffsetPacked[lane] = offset;
      a.lumaGainPacked[lane] = lumaGain;
      a.chromaGainPacked[lane] = chromaGain;
    }
    a.lumaOffset = offset;
    a.lumaGain = lumaGain;
    a.chromaGain = chromaGain;
  };
  switch (index % 4) {
    case 0:  // the record the program builds
      fill(0, 256, 256);
      a.isIdentity = 1;
      break;
    case 1:  // unity values, but the flag says otherwise
      fill(0, 256, 256);
      a.isIdentity = 0;
      break;
    case 2:  // a plausible record
      fill(static_cast<int16_t>(Uniform(rng, -64, 64)), static_cast<int16_t>(Uniform(rng, 128, 384)),
           static_cast<int16_t>(Uniform(rng, 128, 384)));
      a.isIdentity = 0;
      break;
    default:  // anything, lane by lane, with a flag that may lie
      for (int lane = 0; lane < 4; ++lane) {
        a.lumaOffsetPacked[lane] = static_cast<int16_t>(rng());
        a.lumaGainPacked[lane] = static_cast<int16_t>(rng());
        a.chromaGainPacked[lane] = static_cast<int16_t>(rng());
      }
      a.isIdentity = static_cast<int32_t>(rng() & 1);
      break;
  }
  return a;
}

struct Geometry {
  int32_t width;
  int32_t height;
  Edge edge;
  size_t lead;
};

Geometry RandomGeometry(std::mt19937_64& rng, int index, bool negativeHeights) {
  static constexpr int32_t kHeights[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13};
  Geometry g;
  g.width = index < 70 ? index + 1 : Uniform(rng, 1, 70);
  g.height = kHeights[rng() % (sizeof(kHeights) / sizeof(kHeights[0]))];
  if (negativeHeights && (rng() % 3 == 0)) g.height = -g.height;
  if (rng() % 5 == 0) g.height = -Uniform(rng, 1, 3);
  g.edge = index % 3 == 2 ? Edge::Start : Edge::End;
  g.lead = static_cast<size_t>(Uniform(rng, 0, 15));
  return g;
}

std::string Describe(const Variant& v, int index, const Geometry& g) {
  std::ostringstream s;
  s << "slot " << v.slot << " " << v.tier << " case " << index << ": width " << g.width << " height " << g.height
    << (g.edge == Edge::Start ? " frame after a guard page" : " frame before a guard page") << " (seed " << TestSeed()
    << ")";
  return s.str();
}

void ExpectMmxStateEmpty(const Variant& v) {
  EXPECT_EQ(X87TagWord(), 0xFFFF) << v.tier << " variant of slot " << v.slot << " left MMX registers in use";
  EmptyMmxState();
}

void ExpectSamePlane(const char* plane, const std::vector<uint8_t>& expected, const std::vector<uint8_t>& actual,
                     size_t lead) {
  const int64_t at = FirstDifference(expected, actual);
  if (at < 0) return;
  ADD_FAILURE() << plane << " differs at byte " << (at - static_cast<int64_t>(lead)) << " from row 0: expected "
                << int{expected[at]} << ", got " << int{actual[at]};
}

// Slots 0 and 2.
void CheckPlanarToPacked(const Variant& v, int index) {
  std::mt19937_64 rng = CaseGenerator(v.slot, index);
  const Geometry g = RandomGeometry(rng, index, v.slot == 2);
  SCOPED_TRACE(Describe(v, index, g));
  const int32_t w = g.width;
  const int32_t rows = g.height < 0 ? -g.height : g.height;
  const int32_t bytesPerPixel = v.slot == 0 ? 2 : 4;
  const int32_t dstRowPixels = v.slot == 0 ? (w + 1) & ~1 : w;
  const int32_t srcYStride = w + Uniform(rng, 0, 9);
  const int32_t chromaStride = w / 2 + Uniform(rng, 0, 9);
  const int32_t dstStride = dstRowPixels + Uniform(rng, 0, 5);
  const int32_t interlaced = static_cast<int32_t>(rng() % 3);  // 2 must act as 0
  const int32_t chromaRows = rows / 2;
  const ColorAdjustment adjust = RandomAdjustment(rng, index);

  GuardedPlane y(rows, int64_t{rows - 1} * srcYStride, w, g.edge, g.lead, rng, Samples::Extremes);
  GuardedPlane u(chromaRows, int64_t{chromaRows - 1} * chromaStride, w / 2, g.edge, g.lead, rng, Samples::Extremes);
  GuardedPlane vPlane(chromaRows, int64_t{chromaRows - 1} * chromaStride, w / 2, g.edge, g.lead, rng,
                      Samples::Extremes);
  GuardedPlane dst(rows, int64_t{rows - 1} * bytesPerPixel * dstStride, int64_t{bytesPerPixel} * dstRowPixels, g.edge,
                   g.lead, rng);

  std::vector<uint8_t> expected = dst.Bytes();
  PlanarToPackedArgs model{y.first(), srcYStride, u.first(), vPlane.first(), chromaStride, expected.data() + dst.lead(),
                           w,         g.height,   dstStride, &adjust,        interlaced};
  if (v.slot == 0)
    Planar420ToYUY2FrameModel(model, v.passThroughWhenIdentity);
  else
    Planar420ToBGRAFrameModel(model);

  PlanarToPackedArgs call = model;
  call.dst = dst.first();
  ASSERT_EQ(X87TagWord(), 0xFFFF);
  call.CallWith(v.packed);
  ExpectMmxStateEmpty(v);
  ExpectSamePlane("output", expected, dst.Bytes(), dst.lead());
}

// Slots 5 and 6.
void CheckToPlanar(const Variant& v, int index) {
  std::mt19937_64 rng = CaseGenerator(v.slot, index);
  const Geometry g = RandomGeometry(rng, index, false);
  SCOPED_TRACE(Describe(v, index, g));
  const int32_t w = g.width;
  const int32_t rows = g.height < 0 ? 0 : g.height;
  // A packed row of odd width occupies whole macropixels, but the routines
  // read no byte past 2 * width, so the last row is cut there.
  const int32_t srcRowBytes = v.slot == 5 ? 4 * w : 2 * w;
  const int32_t srcPitch = (v.slot == 5 ? 4 * w : 2 * ((w + 1) & ~1)) + Uniform(rng, 0, 9);
  const int32_t dstYStride = w + Uniform(rng, 0, 9);
  const ChromaRowRule rule = v.slot == 5 ? ChromaRowRule::HalfOfLumaOffset : ChromaRowRule::HalvedStride;
  const int32_t chromaRows = w >= 2 ? rows / 2 : 0;

  GuardedPlane src(rows, int64_t{rows - 1} * srcPitch, srcRowBytes, g.edge, g.lead, rng, Samples::Extremes);
  GuardedPlane y(rows, int64_t{rows - 1} * dstYStride, w, g.edge, g.lead, rng);
  const int64_t lastChromaRow = chromaRows > 0 ? ChromaRowOffset(chromaRows - 1, dstYStride, rule) : 0;
  GuardedPlane u(chromaRows, lastChromaRow, w / 2, g.edge, g.lead, rng);
  GuardedPlane vPlane(chromaRows, lastChromaRow, w / 2, g.edge, g.lead, rng);

  std::vector<uint8_t> expectedY = y.Bytes(), expectedU = u.Bytes(), expectedV = vPlane.Bytes();
  const ToPlanarArgs model{w,
                           g.height,
                           src.first(),
                           srcPitch,
                           expectedY.data() + y.lead(),
                           expectedU.data() + u.lead(),
                           expectedV.data() + vPlane.lead(),
                           dstYStride};
  if (v.slot == 5)
    BGRAToPlanar420FrameModel(model, v.average);
  else
    YUY2ToPlanar420FrameModel(model, v.average);

  ToPlanarArgs call = model;
  call.dstY = y.first();
  call.dstU = u.first();
  call.dstV = vPlane.first();
  ASSERT_EQ(X87TagWord(), 0xFFFF);
  EXPECT_EQ(call.CallWith(v.planar), 0);
  ExpectMmxStateEmpty(v);
  ExpectSamePlane("luma plane", expectedY, y.Bytes(), y.lead());
  ExpectSamePlane("U plane", expectedU, u.Bytes(), u.lead());
  ExpectSamePlane("V plane", expectedV, vPlane.Bytes(), vPlane.lead());
}

class SimdChecker : public testing::TestWithParam<int> {};

TEST_P(SimdChecker, MatchesItsModelOnGuardedFrames) {
  const Variant& v = kVariants[GetParam()];
  if (!ProcessorHas(v)) GTEST_SKIP() << "processor lacks the " << v.tier << " tier";
  for (int index = 0; index < kCasesPerVariant && !HasFailure(); ++index) {
    if (v.packed)
      CheckPlanarToPacked(v, index);
    else
      CheckToPlanar(v, index);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryVariant, SimdChecker, testing::Range(0, kVariantCount),
                         [](const testing::TestParamInfo<int>& info) {
                           const Variant& v = kVariants[info.param];
                           return "Slot" + std::to_string(v.slot) + "_" + v.tier;
                         });

// The probe itself: MMX registers left in use must show in the tag word.
TEST(MmxStateProbe, SeesRegistersLeftInUse) {
  ASSERT_EQ(X87TagWord(), 0xFFFF);
  LeaveMmxRegistersInUse();
  const uint16_t tag = X87TagWord();
  EmptyMmxState();
  EXPECT_NE(tag, 0xFFFF);
  EXPECT_EQ(X87TagWord(), 0xFFFF);
}

// The table names every variant the routine table can install.
TEST(VariantTable, CoversEveryInstalledVariant) {
  const ConversionRoutines all = SelectConversionRoutines(CpuFeature::MMX | CpuFeature::SSE | CpuFeature::SSE2);
  const ConversionRoutines mmx = SelectConversionRoutines(CpuFeature::MMX);
  const ConversionRoutines sse = SelectConversionRoutines(CpuFeature::MMX | CpuFeature::SSE);
  auto listed = [](auto routine) {
    for (int i = 0; i < kVariantCount; ++i)
      if (reinterpret_cast<const void*>(kVariants[i].packed) == reinterpret_cast<const void*>(routine) ||
          reinterpret_cast<const void*>(kVariants[i].planar) == reinterpret_cast<const void*>(routine))
        return true;
    return false;
  };
  for (const ConversionRoutines* r : {&all, &mmx, &sse}) {
    EXPECT_TRUE(listed(r->planar420ToYUY2));
    EXPECT_TRUE(listed(r->planar420ToBGRA));
    EXPECT_TRUE(listed(r->bgraToPlanar420));
    EXPECT_TRUE(listed(r->yuy2ToPlanar420));
  }
}

}  // namespace
}  // namespace pellix::test
