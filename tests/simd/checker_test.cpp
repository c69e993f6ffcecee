// The checker: every SIMD variant of every routine in the catalogue, for each
// tier this processor runs, on the same random frames (widths 1 to 130, odd
// and tiny heights, strides beyond the width, destinations at every
// alignment, planes ending at or starting right after a guard page). A
// variant of the MMX, SSE or SSE2 tier is compared with the scalar model of
// its own arithmetic; a wider variant with the variant whose bytes it
// reproduces (and with the model, where one exists), over the whole mapping
// of each destination plane, so a stray write anywhere shows. MMX state must
// be empty after every call.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "formats/planar_layout.h"
#include "tests/simd/fpu_state.h"
#include "tests/simd/frame_models.h"
#include "tests/simd/test_frames.h"
#include "tests/simd/test_seed.h"
#include "tests/simd/variant_table.h"

namespace pellix::test {
namespace {

using Edge = GuardedBuffer::Edge;

constexpr int kCasesPerVariant = 500;
constexpr int32_t kWidestCase = 130;

// Same inputs for every variant of a routine: the generator depends on the
// seed, the routine and the case number only.
std::mt19937_64 CaseGenerator(const RoutineDescription& routine, int index) {
  std::seed_seq seq{static_cast<uint32_t>(TestSeed()), static_cast<uint32_t>(TestSeed() >> 32),
                    static_cast<uint32_t>(&routine - kRoutineCatalogue), static_cast<uint32_t>(index)};
  return std::mt19937_64(seq);
}

// Records as InitColorAdjustment makes them (four equal lanes per field),
// with a flag that may disagree with the values.
ColorAdjustment RandomAdjustment(std::mt19937_64& rng, int index) {
  ColorAdjustment a{};
  switch (index % 4) {
    case 0:  // the record the program builds
      InitColorAdjustment(&a, 0, 256, 256);
      break;
    case 1:  // unity values, but the flag says otherwise
      InitColorAdjustment(&a, 0, 256, 256);
      a.isIdentity = 0;
      break;
    case 2:  // a plausible record
      InitColorAdjustment(&a, Uniform(rng, -64, 64), Uniform(rng, 128, 384), Uniform(rng, 128, 384));
      break;
    default:  // any 16-bit values, with a flag that may lie
      InitColorAdjustment(&a, static_cast<int16_t>(rng()), static_cast<int16_t>(rng()), static_cast<int16_t>(rng()));
      a.isIdentity = static_cast<int32_t>(rng() & 1);
      break;
  }
  return a;
}

struct Geometry {
  int32_t width;
  int32_t height;
  Edge edge;
  size_t lead;             // canary bytes before row 0 of each source plane
  size_t destinationLead;  // the same for destinations: every alignment mod 64
};

Geometry RandomGeometry(std::mt19937_64& rng, int index, bool negativeHeights) {
  static constexpr int32_t kHeights[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13};
  Geometry g;
  g.width = index < kWidestCase ? index + 1 : Uniform(rng, 1, kWidestCase);
  g.height = kHeights[rng() % (sizeof(kHeights) / sizeof(kHeights[0]))];
  if (negativeHeights && (rng() % 3 == 0)) g.height = -g.height;
  if (rng() % 5 == 0) g.height = -Uniform(rng, 1, 3);
  g.edge = index % 3 == 2 ? Edge::Start : Edge::End;
  g.lead = static_cast<size_t>(Uniform(rng, 0, 15));
  g.destinationLead = static_cast<size_t>(index % 64);
  return g;
}

std::string Describe(const Variant& v, int index, const Geometry& g) {
  std::ostringstream s;
  s << v.name() << " case " << index << ": width " << g.width << " height " << g.height
    << (g.edge == Edge::Start ? " frame after a guard page" : " frame before a guard page") << ", destination lead "
    << g.destinationLead << " (seed " << TestSeed() << ")";
  return s.str();
}

void ExpectMmxStateEmpty(const Variant& v) {
  EXPECT_EQ(X87TagWord(), 0xFFFF) << v.name() << " left MMX registers in use";
  EmptyMmxState();
}

void ExpectSamePlane(const char* plane, const std::vector<uint8_t>& expected, const std::vector<uint8_t>& actual,
                     size_t lead) {
  const int64_t at = FirstDifference(expected, actual);
  if (at < 0) return;
  ADD_FAILURE() << plane << " differs at byte " << (at - static_cast<int64_t>(lead)) << " from row 0: expected "
                << int{expected[at]} << ", got " << int{actual[at]};
}

// A destination plane twice with the same canary bytes: one for the variant,
// one for what it must equal.
struct DestinationPair {
  DestinationPair(int64_t rows, int64_t lastRowOffset, int64_t rowBytes, const Geometry& g, std::mt19937_64& rng)
      : seed(rng()),
        actual(rows, lastRowOffset, rowBytes, g.edge, g.destinationLead, Rng()),
        expected(rows, lastRowOffset, rowBytes, g.edge, g.destinationLead, Rng()) {}
  std::mt19937_64& Rng() {
    generator.seed(seed);
    return generator;
  }
  uint64_t seed;
  std::mt19937_64 generator;
  GuardedPlane actual;
  GuardedPlane expected;
};

// The routines whose MMX, SSE and SSE2 arithmetic has a scalar model.
bool HasModel(const Variant& v) {
  for (RoutineId modelled :
       {RoutineId::Planar420ToYUY2, RoutineId::Planar420ToBGRA, RoutineId::BGRAToPlanar420, RoutineId::YUY2ToPlanar420})
    if (v.id() == modelled) return true;
  return false;
}

// Planar to packed: 4:2:0 to YUY2, UYVY or BGRA.
void CheckPlanarToPacked(const Variant& v, int index) {
  std::mt19937_64 rng = CaseGenerator(*v.routine, index);
  const Geometry g = RandomGeometry(rng, index, v.routine->walk.negativeHeightReadsBottomUp);
  SCOPED_TRACE(Describe(v, index, g));
  const int32_t w = g.width;
  const int32_t rows = g.height < 0 ? -g.height : g.height;
  const int32_t bytesPerPixel = BitsPerPixel(v.routine->destination) / 8;
  const int32_t dstRowPixels = bytesPerPixel == 2 ? (w + 1) & ~1 : w;
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
  DestinationPair dst(rows, int64_t{rows - 1} * bytesPerPixel * dstStride, int64_t{bytesPerPixel} * dstRowPixels, g,
                      rng);

  PlanarToPackedArgs args{y.first(), srcYStride, u.first(), vPlane.first(), chromaStride, dst.expected.first(),
                          w,         g.height,   dstStride, &adjust,        interlaced};
  if (HasModel(v)) {
    std::vector<uint8_t> model = dst.expected.Bytes();
    PlanarToPackedArgs modelArgs = args;
    modelArgs.dst = model.data() + dst.expected.lead();
    if (v.id() == RoutineId::Planar420ToYUY2)
      Planar420ToYUY2FrameModel(modelArgs, v.passThroughWhenIdentity());
    else
      Planar420ToBGRAFrameModel(modelArgs);
    args.dst = dst.actual.first();
    ASSERT_EQ(X87TagWord(), 0xFFFF);
    args.CallWith(v.packed());
    ExpectMmxStateEmpty(v);
    ExpectSamePlane("output against the model", model, dst.actual.Bytes(), dst.actual.lead());
  }
  if (!v.isWide()) return;
  args.dst = dst.expected.first();
  args.CallWith(v.reference().planarToPacked);
  EmptyMmxState();
  args.dst = dst.actual.first();
  args.CallWith(v.packed());
  ExpectMmxStateEmpty(v);
  ExpectSamePlane("output", dst.expected.Bytes(), dst.actual.Bytes(), dst.actual.lead());
}

// To planar: YUY2, UYVY or BGRA to planar 4:2:0.
void CheckToPlanar(const Variant& v, int index) {
  std::mt19937_64 rng = CaseGenerator(*v.routine, index);
  const Geometry g = RandomGeometry(rng, index, false);
  SCOPED_TRACE(Describe(v, index, g));
  const int32_t w = g.width;
  const int32_t rows = g.height < 0 ? 0 : g.height;
  const bool fromBgra = v.routine->source == PixelFormat::BGRA;
  // A packed row of odd width occupies whole macropixels, but the routines
  // read no byte past 2 * width, so the last row is cut there.
  const int32_t srcRowBytes = fromBgra ? 4 * w : 2 * w;
  const int32_t srcPitch = (fromBgra ? 4 * w : 2 * ((w + 1) & ~1)) + Uniform(rng, 0, 9);
  const int32_t dstYStride = w + Uniform(rng, 0, 9);
  const ChromaRowRule rule = fromBgra ? ChromaRowRule::HalfOfLumaOffset : ChromaRowRule::HalvedStride;
  const int32_t chromaRows = w >= 2 ? rows / 2 : 0;
  const int64_t lastChromaRow = chromaRows > 0 ? ChromaRowOffset(chromaRows - 1, dstYStride, rule) : 0;

  GuardedPlane src(rows, int64_t{rows - 1} * srcPitch, srcRowBytes, g.edge, g.lead, rng, Samples::Extremes);
  DestinationPair y(rows, int64_t{rows - 1} * dstYStride, w, g, rng);
  DestinationPair u(chromaRows, lastChromaRow, w / 2, g, rng);
  DestinationPair vPlane(chromaRows, lastChromaRow, w / 2, g, rng);

  ToPlanarArgs args{
      w, g.height, src.first(), srcPitch, y.actual.first(), u.actual.first(), vPlane.actual.first(), dstYStride};
  ASSERT_EQ(X87TagWord(), 0xFFFF);
  EXPECT_EQ(args.CallWith(v.planar()), 0);
  ExpectMmxStateEmpty(v);
  if (HasModel(v)) {
    std::vector<uint8_t> ey = y.expected.Bytes(), eu = u.expected.Bytes(), ev = vPlane.expected.Bytes();
    const ToPlanarArgs model{w,
                             g.height,
                             src.first(),
                             srcPitch,
                             ey.data() + y.expected.lead(),
                             eu.data() + u.expected.lead(),
                             ev.data() + vPlane.expected.lead(),
                             dstYStride};
    if (v.id() == RoutineId::BGRAToPlanar420)
      BGRAToPlanar420FrameModel(model, v.average());
    else
      YUY2ToPlanar420FrameModel(model, v.average());
    ExpectSamePlane("luma plane against the model", ey, y.actual.Bytes(), y.actual.lead());
    ExpectSamePlane("U plane against the model", eu, u.actual.Bytes(), u.actual.lead());
    ExpectSamePlane("V plane against the model", ev, vPlane.actual.Bytes(), vPlane.actual.lead());
  }
  if (!v.isWide()) return;
  ToPlanarArgs reference = args;
  reference.dstY = y.expected.first();
  reference.dstU = u.expected.first();
  reference.dstV = vPlane.expected.first();
  reference.CallWith(v.reference().toPlanar);
  EmptyMmxState();
  ExpectSamePlane("luma plane", y.expected.Bytes(), y.actual.Bytes(), y.actual.lead());
  ExpectSamePlane("U plane", u.expected.Bytes(), u.actual.Bytes(), u.actual.lead());
  ExpectSamePlane("V plane", vPlane.expected.Bytes(), vPlane.actual.Bytes(), vPlane.actual.lead());
}

// Packed to packed over the whole pitch of one side; the other
// side holds as many pixels, or more.
void CheckPackedToPacked(const Variant& v, int index) {
  std::mt19937_64 rng = CaseGenerator(*v.routine, index);
  const Geometry g = RandomGeometry(rng, index, true);
  SCOPED_TRACE(Describe(v, index, g));
  const int32_t rows = g.height < 0 ? 0 : g.height;
  const int32_t inBytes = BitsPerPixel(v.routine->source) / 8;
  const int32_t outBytes = BitsPerPixel(v.routine->destination) / 8;
  const bool sourcePitch = v.routine->source != PixelFormat::BGRA;
  const int32_t pitchStride = g.width + Uniform(rng, 0, 9);
  const int32_t pixels = 2 * (pitchStride / 2);  // whole macropixels of that pitch
  const int32_t otherStride = pixels + Uniform(rng, 0, 5);
  const int32_t srcStride = sourcePitch ? pitchStride : otherStride;
  const int32_t dstStride = sourcePitch ? otherStride : pitchStride;

  GuardedPlane src(rows, int64_t{rows - 1} * inBytes * srcStride, int64_t{pixels} * inBytes, g.edge, g.lead, rng,
                   Samples::Extremes);
  DestinationPair dst(rows, int64_t{rows - 1} * outBytes * dstStride, int64_t{pixels} * outBytes, g, rng);
  v.reference().packedToPacked(src.first(), srcStride, dst.expected.first(), dstStride, g.height, g.width);
  EmptyMmxState();
  ASSERT_EQ(X87TagWord(), 0xFFFF);
  EXPECT_EQ(v.packedToPacked()(src.first(), srcStride, dst.actual.first(), dstStride, g.height, g.width), 0);
  ExpectMmxStateEmpty(v);
  ExpectSamePlane("output", dst.expected.Bytes(), dst.actual.Bytes(), dst.actual.lead());
}

class SimdChecker : public testing::TestWithParam<Variant> {};

TEST_P(SimdChecker, MatchesItsReferenceOnGuardedFrames) {
  const Variant& v = GetParam();
  if (!ProcessorRuns(v.tier)) GTEST_SKIP() << v.name() << " skipped: this processor does not run " << TierName(v.tier);
  for (int index = 0; index < kCasesPerVariant && !HasFailure(); ++index) {
    switch (v.routine->shape) {
      case RoutineShape::PlanarToPacked:
        CheckPlanarToPacked(v, index);
        break;
      case RoutineShape::ToPlanar:
        CheckToPlanar(v, index);
        break;
      case RoutineShape::PackedToPacked:
        CheckPackedToPacked(v, index);
        break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryVariant, SimdChecker, testing::ValuesIn(SimdVariants()),
                         [](const testing::TestParamInfo<Variant>& info) { return info.param.name(); });

// The probe itself: MMX registers left in use must show in the tag word.
TEST(MmxStateProbe, SeesRegistersLeftInUse) {
  ASSERT_EQ(X87TagWord(), 0xFFFF);
  LeaveMmxRegistersInUse();
  const uint16_t tag = X87TagWord();
  EmptyMmxState();
  EXPECT_NE(tag, 0xFFFF);
  EXPECT_EQ(X87TagWord(), 0xFFFF);
}

}  // namespace
}  // namespace pellix::test
