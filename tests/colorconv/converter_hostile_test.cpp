// Geometry a host should never send: every converter refuses it before
// locking anything and leaves both frames as they were.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "conversion_model.h"
#include "converter_test_support.h"
#include "guarded_frame.h"

namespace pellix {
namespace {

using namespace testing_support;

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

bool IsPackedToBgra(const FormatPair& pair) { return IsPacked422(pair.from) && pair.to == PixelFormat::BGRA; }
bool IsPlaneCopy(const FormatPair& pair) { return IsPlanar(pair.from) && IsPlanar(pair.to); }
bool UsesDescription(const FormatPair& pair) { return IsPackedToBgra(pair) || IsPlaneCopy(pair); }
bool Always(const FormatPair&) { return true; }

struct Mutation {
  const char* name;
  bool (*appliesTo)(const FormatPair&);
  std::function<void(HostFrame& src, HostFrame& dst, Tessel::ImageProperties& described)> apply;
};

std::vector<Mutation> Mutations() {
  using P = Tessel::ImageProperties;
  auto src = [](const char* name, std::function<void(P&)> f) {
    return Mutation{name, Always, [f](HostFrame& s, HostFrame&, P&) { f(s.imageProperties); }};
  };
  auto dst = [](const char* name, std::function<void(P&)> f) {
    return Mutation{name, Always, [f](HostFrame&, HostFrame& d, P&) { f(d.imageProperties); }};
  };
  auto described = [](const char* name, std::function<void(P&, const P&)> f,
                      bool (*appliesTo)(const FormatPair&) = UsesDescription) {
    return Mutation{name, appliesTo, [f](HostFrame& s, HostFrame&, P& p) { f(p, s.imageProperties); }};
  };
  return {
      src("source width 0", [](P& p) { p.width = 0; }),
      src("source width negative", [](P& p) { p.width = -8; }),
      src("source width minimum", [](P& p) { p.width = kMin; }),
      src("source width maximum", [](P& p) { p.width = kMax; }),
      src("source width beyond stride", [](P& p) { p.width = p.stride + 1; }),
      src("source height 0", [](P& p) { p.height = 0; }),
      src("source height negative", [](P& p) { p.height = -6; }),
      src("source height minimum", [](P& p) { p.height = kMin; }),
      src("source height maximum", [](P& p) { p.height = kMax; }),
      src("source height beyond buffer", [](P& p) { p.height *= 4; }),
      src("source stride 0", [](P& p) { p.stride = 0; }),
      src("source stride negative", [](P& p) { p.stride = -10; }),
      src("source stride minimum", [](P& p) { p.stride = kMin; }),
      src("source stride maximum", [](P& p) { p.stride = kMax; }),
      src("source stride below width", [](P& p) { p.stride = p.width - 1; }),
      dst("destination width 0", [](P& p) { p.width = 0; }),
      dst("destination width negative", [](P& p) { p.width = -8; }),
      dst("destination width maximum", [](P& p) { p.width = kMax; }),
      dst("destination narrower than source", [](P& p) { p.width -= 2; }),
      dst("destination height 0", [](P& p) { p.height = 0; }),
      dst("destination height negative", [](P& p) { p.height = -6; }),
      dst("destination height minimum", [](P& p) { p.height = kMin; }),
      dst("destination lower than source", [](P& p) { p.height -= 2; }),
      dst("destination stride 0", [](P& p) { p.stride = 0; }),
      dst("destination stride negative", [](P& p) { p.stride = -10; }),
      dst("destination stride maximum", [](P& p) { p.stride = kMax; }),
      dst("destination stride below width", [](P& p) { p.stride = p.width - 1; }),
      {"source capacity 0", Always, [](HostFrame& s, HostFrame&, P&) { s.capacity = 0; }},
      {"source capacity half", Always, [](HostFrame& s, HostFrame&, P&) { s.capacity /= 2; }},
      {"destination capacity 0", Always, [](HostFrame&, HostFrame& d, P&) { d.capacity = 0; }},
      {"destination capacity half", Always, [](HostFrame&, HostFrame& d, P&) { d.capacity /= 2; }},
      described("description height 0", [](P& p, const P&) { p.height = 0; }),
      // One row holds no chroma row for the plane copy; the packed-to-BGRA
      // converters legitimately convert a single described row.
      described("description height 1", [](P& p, const P&) { p.height = 1; }, IsPlaneCopy),
      described("description height negative", [](P& p, const P&) { p.height = -6; }),
      described("description height minimum", [](P& p, const P&) { p.height = kMin; }),
      described("description taller than frame", [](P& p, const P& f) { p.height = f.height + 2; }),
      described("description height maximum", [](P& p, const P&) { p.height = kMax; }),
  };
}

// Mutations of the described width matter only where the width is passed on.
std::vector<Mutation> PackedToBgraWidthMutations() {
  using P = Tessel::ImageProperties;
  auto width = [](const char* name, std::function<void(P&, const P&)> f) {
    return Mutation{name, IsPackedToBgra, [f](HostFrame& s, HostFrame&, P& p) { f(p, s.imageProperties); }};
  };
  return {width("description width 0", [](P& p, const P&) { p.width = 0; }),
          width("description width negative", [](P& p, const P&) { p.width = -4; }),
          width("description wider than frame", [](P& p, const P& f) { p.width = f.width + 2; }),
          width("description width maximum", [](P& p, const P&) { p.width = kMax; })};
}

class ConverterHostileTest : public ::testing::TestWithParam<FormatPair> {
 protected:
  static void SetUpTestSuite() { static ConversionEnvironment environment; }

  // An 8x6 conversion every pair accepts, with two pixels of stride padding.
  Scenario Baseline() const {
    return MakeScenario(GetParam().from, GetParam().to, 8, 6, 2, 2, 0);
  }

  void ExpectRefused(const Mutation& m) {
    SCOPED_TRACE(m.name);
    const Scenario s = Baseline();
    GuardedFrame src(s.width, s.height, s.sourceStride, SourceSize(s));
    GuardedFrame dst(s.width, s.height, s.destinationStride, DestinationSize(s));
    src.assign(SourceContent(s, 5));
    dst.assign(Pattern(dst.size(), 6));
    Tessel::ImageProperties described = src->imageProperties;
    m.apply(*src.frame(), *dst.frame(), described);
    const std::vector<uint8_t> sourceBefore = src.contents(), destinationBefore = dst.contents();
    EXPECT_FALSE(FrameConverterFor(s.input, s.output)(src.frame(), &described, 0, dst.frame()));
    EXPECT_EQ(FirstDifference(dst.contents(), destinationBefore), -1);
    EXPECT_EQ(FirstDifference(src.contents(), sourceBefore), -1);
    // Nothing locked (an unlock without a lock would be a ledger problem).
    EXPECT_EQ(src->lockCalls() + dst->lockCalls(), 0u);
  }
};

TEST_P(ConverterHostileTest, BaselineConverts) {
  const Scenario s = Baseline();
  GuardedFrame src(s.width, s.height, s.sourceStride, SourceSize(s));
  GuardedFrame dst(s.width, s.height, s.destinationStride, DestinationSize(s));
  const Tessel::ImageProperties described = src->imageProperties;
  EXPECT_TRUE(FrameConverterFor(s.input, s.output)(src.frame(), &described, 0, dst.frame()));
}

TEST_P(ConverterHostileTest, RefusesHostileGeometry) {
  std::vector<Mutation> mutations = Mutations();
  for (Mutation& m : PackedToBgraWidthMutations()) mutations.push_back(std::move(m));
  for (const Mutation& m : mutations) {
    if (m.appliesTo(GetParam())) ExpectRefused(m);
  }
}

TEST_P(ConverterHostileTest, RefusesMissingOrSharedFrames) {
  const Scenario s = Baseline();
  const FrameConverter convert = FrameConverterFor(s.input, s.output);
  GuardedFrame frame(s.width, s.height, s.sourceStride, SourceSize(s) + DestinationSize(s));
  const Tessel::ImageProperties described = frame->imageProperties;
  EXPECT_FALSE(convert(nullptr, &described, 0, frame.frame()));
  EXPECT_FALSE(convert(frame.frame(), &described, 0, nullptr));
  EXPECT_FALSE(convert(frame.frame(), &described, 0, frame.frame()));
  EXPECT_EQ(frame->lockCalls(), 0u);
  if (UsesDescription(GetParam())) {
    GuardedFrame other(s.width, s.height, s.destinationStride, DestinationSize(s));
    EXPECT_FALSE(convert(frame.frame(), nullptr, 0, other.frame()));
  }
}

TEST_P(ConverterHostileTest, FrameThatCannotBeLockedIsNotConverted) {
  const Scenario s = Baseline();
  for (const bool sourceFails : {true, false}) {
    GuardedFrame src(s.width, s.height, s.sourceStride, SourceSize(s));
    GuardedFrame dst(s.width, s.height, s.destinationStride, DestinationSize(s));
    dst.assign(Pattern(dst.size(), 9));
    const std::vector<uint8_t> before = dst.contents();
    SetLockFails(*(sourceFails ? src : dst).frame(), true);
    const Tessel::ImageProperties described = src->imageProperties;
    EXPECT_FALSE(FrameConverterFor(s.input, s.output)(src.frame(), &described, 0, dst.frame()));
    EXPECT_EQ(FirstDifference(dst.contents(), before), -1);
    EXPECT_EQ(src->lockDepth(), 0);
    EXPECT_EQ(dst->lockDepth(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(AllPairs, ConverterHostileTest, ::testing::ValuesIn(kAllPairs),
                         [](const ::testing::TestParamInfo<FormatPair>& info) { return PairTestName(info); });

}  // namespace
}  // namespace pellix
