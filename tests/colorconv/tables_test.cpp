#include "colorconv/tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace pellix {
namespace {

class TablesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    BuildYuvToRgbTables();
    BuildRgbToYuvTables();
  }
};

struct Entry {
  const char* table;
  const int32_t* values;
  int index;
  int32_t expected;
};

TEST_F(TablesTest, YuvToRgbCheckValues) {
  const Entry entries[] = {
      {"LumaToRgb", LumaToRgbTable, 16, 0},    {"LumaToRgb", LumaToRgbTable, 17, 1},
      {"LumaToRgb", LumaToRgbTable, 21, 5},    {"LumaToRgb", LumaToRgbTable, 22, 7},
      {"LumaToRgb", LumaToRgbTable, 128, 130}, {"LumaToRgb", LumaToRgbTable, 234, 254},
      {"LumaToRgb", LumaToRgbTable, 235, 256}, {"VToRed", VToRedTable, 100, -44},
      {"VToGreen", VToGreenTable, 100, 23},    {"UToGreen", UToGreenTable, 100, 11},
      {"UToBlue", UToBlueTable, 100, -56},     {"VToRed", VToRedTable, 200, 115},
      {"VToGreen", VToGreenTable, 200, -58},   {"UToGreen", UToGreenTable, 200, -27},
      {"UToBlue", UToBlueTable, 200, 146},     {"VToRed", VToRedTable, 16, -178},
      {"VToGreen", VToGreenTable, 16, 91},     {"UToGreen", UToGreenTable, 16, 44},
      {"UToBlue", UToBlueTable, 16, -226},
  };
  for (const Entry& e : entries) EXPECT_EQ(e.values[e.index], e.expected) << e.table << "[" << e.index << "]";
}

TEST_F(TablesTest, ChromaTablesSaturateAtVideoRangeAndAreZeroAtCentre) {
  struct Range {
    const char* name;
    const int32_t* values;
    int32_t low;
    int32_t high;
  };
  const Range ranges[] = {{"VToRed", VToRedTable, -178, 179},
                          {"VToGreen", VToGreenTable, -90, 91},
                          {"UToGreen", UToGreenTable, -43, 44},
                          {"UToBlue", UToBlueTable, -226, 227}};
  for (const Range& r : ranges) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(r.values[128], 0);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(r.values[i], r.values[16]) << i;
    for (int i = 241; i < 256; ++i) EXPECT_EQ(r.values[i], r.values[240]) << i;
    int32_t low = r.values[0], high = r.values[0];
    for (int i = 0; i < 256; ++i) {
      low = std::min(low, r.values[i]);
      high = std::max(high, r.values[i]);
    }
    EXPECT_EQ(low, r.low);
    EXPECT_EQ(high, r.high);
  }
  // The fixed entries below 16 are these four values.
  EXPECT_EQ(VToRedTable[0], -178);
  EXPECT_EQ(VToGreenTable[0], 91);
  EXPECT_EQ(UToGreenTable[0], 44);
  EXPECT_EQ(UToBlueTable[0], -226);
  EXPECT_EQ(VToRedTable[255], 179);
}

TEST_F(TablesTest, LumaTableIsZeroUpTo16And256From235) {
  for (int i = 0; i <= 16; ++i) EXPECT_EQ(LumaToRgbTable[i], 0) << i;
  for (int i = 235; i < 256; ++i) EXPECT_EQ(LumaToRgbTable[i], 256) << i;
  for (int i = 17; i < 235; ++i) {
    EXPECT_LT(LumaToRgbTable[i], 256) << i;
    EXPECT_LE(LumaToRgbTable[i - 1], LumaToRgbTable[i]) << i;
  }
}

TEST_F(TablesTest, ClipTableSaturates) {
  const struct {
    int index;
    int expected;
  } cases[] = {{-256, 0}, {-1, 0}, {0, 0}, {1, 1}, {128, 128}, {255, 255}, {256, 255}, {511, 255}};
  for (const auto& c : cases) EXPECT_EQ(ClipTable[c.index], c.expected) << c.index;
  EXPECT_EQ(ClipTable, ClipTableStorage + 256);
}

TEST_F(TablesTest, RgbToYuvCheckValues) {
  const Entry entries[] = {
      {"RedToY", RedToYTable, 1, 16763},          {"RedToY", RedToYTable, 125, 2095392},
      {"RedToY", RedToYTable, 128, 2145681},      {"RedToY", RedToYTable, 250, 4190784},
      {"RedToY", RedToYTable, 255, 4274599},      {"GreenToY", GreenToYTable, 1, 32909},
      {"GreenToY", GreenToYTable, 125, 4113696},  {"GreenToY", GreenToYTable, 250, 8227392},
      {"GreenToY", GreenToYTable, 255, 8391939},  {"BlueToY", BlueToYTable, 255, 1629780},
      {"RedToU", RedToUTable, 255, -2462466},     {"GreenToU", GreenToUTable, 255, -4848893},
      {"ChromaHalf", ChromaHalfTable, 1, 28672},  {"ChromaHalf", ChromaHalfTable, 255, 7311360},
      {"GreenToV", GreenToVTable, 255, -6122532}, {"BlueToV", BlueToVTable, 255, -1188827},
  };
  for (const Entry& e : entries) EXPECT_EQ(e.values[e.index], e.expected) << e.table << "[" << e.index << "]";
  const int32_t* all[] = {RedToYTable,     GreenToYTable, BlueToYTable, RedToUTable,
                          GreenToUTable,   GreenToVTable, BlueToVTable, ChromaHalfTable};
  for (const int32_t* table : all) EXPECT_EQ(table[0], 0);
}

TEST_F(TablesTest, BlackAndWhiteGiveVideoRangeLimits) {
  auto luma = [](int r, int g, int b) {
    return (RedToYTable[r] + GreenToYTable[g] + BlueToYTable[b] + 0x108000) >> 16;
  };
  auto u = [](int r, int g, int b) {
    return (RedToUTable[r] + GreenToUTable[g] + ChromaHalfTable[b] + 0x808000) >> 16;
  };
  auto v = [](int r, int g, int b) {
    return (ChromaHalfTable[r] + GreenToVTable[g] + BlueToVTable[b] + 0x808000) >> 16;
  };
  EXPECT_EQ(luma(0, 0, 0), 16);
  EXPECT_EQ(u(0, 0, 0), 128);
  EXPECT_EQ(v(0, 0, 0), 128);
  EXPECT_EQ(luma(255, 255, 255), 234);
  EXPECT_EQ(u(255, 255, 255), 128);
  EXPECT_EQ(v(255, 255, 255), 128);
}

// A second build (set-up runs once per process, but nothing stops a second
// call) writes the very same values.
TEST_F(TablesTest, SecondBuildIsIdentical) {
  const std::vector<int32_t> luma(LumaToRgbTable, LumaToRgbTable + 256);
  const std::vector<int32_t> red(VToRedTable, VToRedTable + 256);
  const std::vector<uint8_t> clip(ClipTableStorage, ClipTableStorage + 768);
  const std::vector<int32_t> redToY(RedToYTable, RedToYTable + 256);
  const std::vector<int32_t> half(ChromaHalfTable, ChromaHalfTable + 256);
  RedToYTable[7] = -1;
  BuildYuvToRgbTables();
  BuildRgbToYuvTables();
  EXPECT_EQ(luma, std::vector<int32_t>(LumaToRgbTable, LumaToRgbTable + 256));
  EXPECT_EQ(red, std::vector<int32_t>(VToRedTable, VToRedTable + 256));
  EXPECT_EQ(clip, std::vector<uint8_t>(ClipTableStorage, ClipTableStorage + 768));
  EXPECT_EQ(redToY, std::vector<int32_t>(RedToYTable, RedToYTable + 256));
  EXPECT_EQ(half, std::vector<int32_t>(ChromaHalfTable, ChromaHalfTable + 256));
}

}  // namespace
}  // namespace pellix
