// Every converter, on frames whose buffers end at (or start right after) an
// inaccessible page: the whole destination buffer must match the model
// afterwards, so every in-frame pixel is written and no byte of the slack
// (stride padding, plane tails, bytes past the layout) changes.
#include <gtest/gtest.h>

#include "conversion_model.h"
#include "converter_test_support.h"
#include "guarded_frame.h"

namespace pellix {
namespace {

using namespace testing_support;
using Edge = GuardedBuffer::Edge;

struct Geometry {
  int32_t width, height, sourceExtra, destinationExtra;
};

// Tiny, odd and even sizes; extra stride pixels give padding to guard,
// strides that are not multiples of 4 separate the two chroma plane rules,
// and widths of 16 and more take the whole-group paths of the variants.
const Geometry kGeometries[] = {
    {1, 1, 0, 0},  {2, 1, 0, 0},  {1, 2, 0, 0},   {2, 2, 0, 0},  {3, 3, 0, 0},   {3, 3, 3, 5},
    {5, 7, 0, 0},  {5, 7, 2, 1},  {6, 2, 0, 0},   {6, 2, 1, 3},  {4, 6, 4, 0},   {17, 9, 0, 0},
    {17, 9, 7, 3}, {16, 4, 0, 0}, {33, 5, 3, 2},  {48, 16, 0, 0}, {64, 4, 8, 4}, {7, 10, 1, 1},
};

class ConverterGuardTest : public ::testing::TestWithParam<FormatPair> {
 protected:
  static void SetUpTestSuite() { static ConversionEnvironment environment; }

  // Runs the pair's converter on fresh guarded frames of the given
  // capacities and checks both buffers and the lock calls.
  void Run(const Scenario& s, size_t sourceCapacity, size_t destinationCapacity, Edge edge,
           const std::vector<uint8_t>& source, const std::vector<uint8_t>& prefill, bool expectConverts,
           const std::vector<uint8_t>& expected, const char* pass) {
    SCOPED_TRACE(::testing::Message() << s.Describe() << " " << pass << " capacities " << sourceCapacity << "/"
                                      << destinationCapacity);
    GuardedFrame src(s.width, s.height, s.sourceStride, sourceCapacity, edge);
    GuardedFrame dst(s.width, s.height, s.destinationStride, destinationCapacity, edge);
    src.assign(source);
    dst.assign(prefill);
    const Tessel::ImageProperties described = src->imageProperties;
    const FrameConverter convert = FrameConverterFor(s.input, s.output);
    ASSERT_NE(convert, nullptr);
    EXPECT_EQ(convert(src.frame(), &described, s.interlaced, dst.frame()), expectConverts);
    EXPECT_EQ(FirstDifference(dst.contents(), Prefix(expected, destinationCapacity)), -1);
    EXPECT_EQ(FirstDifference(src.contents(), Prefix(source, sourceCapacity)), -1);
    EXPECT_EQ(src->lockDepth(), 0);
    EXPECT_EQ(dst->lockDepth(), 0);
    if (expectConverts) {
      EXPECT_EQ(src->lockCalls(), 1u);
      EXPECT_EQ(dst->lockCalls(), 1u);
    }
  }
};

TEST_P(ConverterGuardTest, ConvertsEveryPixelAndNothingElse) {
  const auto [input, output] = GetParam();
  constexpr size_t kSlack = 32;
  uint32_t seed = 1;
  for (const Geometry& g : kGeometries) {
    for (uint8_t interlaced : {uint8_t{0}, uint8_t{1}}) {
      if (interlaced && !IsPlanar(input)) continue;
      const Scenario s = MakeScenario(input, output, g.width, g.height, g.sourceExtra, g.destinationExtra, interlaced);
      const size_t sourceSize = SourceSize(s), destinationSize = DestinationSize(s);
      std::vector<uint8_t> source = SourceContent(s, ++seed);
      const std::vector<uint8_t> slack = Pattern(kSlack, ++seed);
      source.insert(source.end(), slack.begin(), slack.end());
      const std::vector<uint8_t> prefill = Pattern(destinationSize + kSlack, ++seed);
      const Expectation e = Expect(s, source, prefill);

      Run(s, sourceSize, destinationSize, Edge::End, source, prefill, e.converts, e.destination, "ends at guard");
      Run(s, sourceSize, destinationSize, Edge::Start, source, prefill, e.converts, e.destination,
          "starts after guard");
      Run(s, sourceSize + kSlack, destinationSize + kSlack, Edge::End, source, prefill, e.converts, e.destination,
          "with slack");
      if (!e.converts) continue;
      // Buffers holding exactly the bytes the conversion needs are enough;
      // one byte less on either side is refused with nothing touched.
      const size_t readEnd = static_cast<size_t>(e.readEnd), writeEnd = static_cast<size_t>(e.writeEnd);
      Run(s, readEnd, writeEnd, Edge::End, source, prefill, true, e.destination, "exact");
      Run(s, readEnd - 1, writeEnd, Edge::End, source, prefill, false, prefill, "source one byte short");
      Run(s, readEnd, writeEnd - 1, Edge::End, source, prefill, false, prefill, "destination one byte short");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllPairs, ConverterGuardTest, ::testing::ValuesIn(kAllPairs),
                         [](const ::testing::TestParamInfo<FormatPair>& info) { return PairTestName(info); });

}  // namespace
}  // namespace pellix
