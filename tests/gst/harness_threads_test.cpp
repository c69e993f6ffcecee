// n-threads: a frame converted in horizontal bands, each by its own
// component on its own thread, gives the bytes of one whole-frame pull, for
// every pair, with band boundaries at odd and even multiples of four rows,
// a last band with an odd row count, and odd 4:2:0 sizes (converted whole).
#include "formats/size_rules.h"
#include "tests/gst/gst_test_support.h"
#include "tests/support/format_pairs.h"

namespace pellix::gst::testing {
namespace {

struct Banding {
  int width;
  int height;
  guint threads;
  const char* why;
};

const Banding kBandings[] = {
    {64, 48, 2, "two bands of 24 rows (boundary at 4 x 6)"},
    {40, 28, 3, "seven units in three bands: boundaries at rows 8 and 16"},
    {36, 44, 5, "five bands of 11 units: boundaries at 4 x odd and 4 x even"},
    {34, 22, 4, "the last band takes the two spare rows"},
    {33, 37, 3, "odd size: the last band has an odd row count (4:2:0 sides convert whole)"},
    {16, 6, 8, "too short to split: one band"},
    {48, 32, 0, "one band per core"},
};

class Threads : public ElementTest, public ::testing::WithParamInterface<FormatPair> {};

TEST_P(Threads, BandsGiveTheBytesOfOneWholeFramePull) {
  const FormatPair pair = GetParam();
  uint64_t seed = 40;
  for (const Banding& banding : kBandings) {
    if (!AcceptsSize(pair, banding.width, banding.height)) continue;
    SCOPED_TRACE(std::to_string(banding.width) + "x" + std::to_string(banding.height) + ", n-threads " +
                 std::to_string(banding.threads) + ": " + banding.why);
    const std::string downstream = std::string("video/x-raw,format=") + FormatName(pair.to);
    Harness harness(downstream.c_str());
    watch(harness.element());
    g_object_set(harness.element(), "n-threads", banding.threads, nullptr);
    ASSERT_TRUE(harness.setInput(CapsText(FormatName(pair.from), banding.width, banding.height)));
    for (int frame = 0; frame < 2; ++frame) {
      GstVideoInfo inInfo = VideoInfo(GstFormat(pair.from), banding.width, banding.height);
      GstBuffer* input = MakeVideoBuffer(inInfo, ++seed, frame == 1 ? 7 : 0);
      ASSERT_TRUE(ConvertsAsTheReference(harness, input, inInfo, GstFormat(pair.to))) << "frame " << frame;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllPairs, Threads, ::testing::ValuesIn(kAllPairs),
                         [](const ::testing::TestParamInfo<FormatPair>& info) { return PairTestName(info); });

TEST_F(ElementTest, NThreadsDefaultsToOneAsVideoconvert) {
  Harness harness;
  watch(harness.element());
  guint threads = 99;
  g_object_get(harness.element(), "n-threads", &threads, nullptr);
  EXPECT_EQ(threads, 1u);
}

}  // namespace
}  // namespace pellix::gst::testing
