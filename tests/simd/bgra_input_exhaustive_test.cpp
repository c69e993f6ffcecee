// The wide kernels that read BGRA (BGRAToPlanar420, BGRAToYUY2 and
// BGRAToUYVY) against the variants whose bytes they must give (the SSE
// kernel of BGRAToPlanar420, the plain table routines of the other two),
// comparing every output byte:
// - every colour as a pair of equal pixels (its luma, and the colour as the
//   averaged chroma input of BGRAToYUY2 and BGRAToUYVY), on frames whole steps of the
//   widest registers wide and on frames so narrow that only a kernel's
//   narrowest step runs;
// - every 2 x 2 block of colours whose channels are 0, 1, 254 or 255;
// - a large random frame of odd size;
// - for BGRAToYUY2 and BGRAToUYVY, a destination large enough for streaming stores.
// And the integer forms of the RGB-to-YUV tables that BGRAToYUY2 and BGRAToUYVY compute
// with, entry by entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "colorconv/routines.h"
#include "colorconv/simd/frame_walks.h"
#include "colorconv/simd/rgb_to_yuv_table_forms.h"
#include "colorconv/tables.h"
#include "tests/simd/test_frames.h"
#include "tests/simd/test_seed.h"
#include "tests/simd/variant_table.h"
#include "tests/support/exhaustive_sample.h"

namespace pellix::test {
namespace {

// --- The integer forms of the tables ---

struct FormCase {
  const char* table;
  TableForm form;
  const int32_t* entries;
};

TEST(RgbToYuvTableForms, EqualTheirTablesAtEveryIndex) {
  InitColorConversion();
  const FormCase cases[] = {
      {"RedToYTable", kRedToYForm, RedToYTable},       {"GreenToYTable", kGreenToYForm, GreenToYTable},
      {"BlueToYTable", kBlueToYForm, BlueToYTable},    {"RedToUTable", kRedToUForm, RedToUTable},
      {"GreenToUTable", kGreenToUForm, GreenToUTable}, {"ChromaHalfTable", kChromaHalfForm, ChromaHalfTable},
      {"GreenToVTable", kGreenToVForm, GreenToVTable}, {"BlueToVTable", kBlueToVForm, BlueToVTable},
  };
  for (const FormCase& c : cases) {
    int wrong = 0;
    for (int32_t i = 0; i < 256; ++i) {
      if (c.form.Entry(i) == c.entries[i]) continue;
      if (++wrong <= 3)
        ADD_FAILURE() << c.table << "[" << i << "] is " << c.entries[i] << ", its form gives " << c.form.Entry(i);
    }
    EXPECT_EQ(wrong, 0) << c.table;
  }
}

// The lanes sum the forms of the tables each sample reads, with its offset.
TEST(RgbToYuvTableForms, LaneSumsReadTheTablesOfTheirSamples) {
  InitColorConversion();
  struct SumCase {
    const char* sample;
    LaneSum sum;
    const int32_t* blue;
    const int32_t* green;
    const int32_t* red;
    int32_t offset;
  };
  const SumCase cases[] = {
      {"Y", kLumaSum, BlueToYTable, GreenToYTable, RedToYTable, 0x108000},
      {"U", kUSum, ChromaHalfTable, GreenToUTable, RedToUTable, 0x808000},
      {"V", kVSum, BlueToVTable, GreenToVTable, ChromaHalfTable, 0x808000},
  };
  for (const SumCase& c : cases) {
    EXPECT_EQ(c.sum.offset, c.offset) << c.sample;
    for (int32_t i = 0; i < 256; ++i) {
      ASSERT_EQ(c.sum.blue.Entry(i), c.blue[i]) << c.sample << " blue " << i;
      ASSERT_EQ(c.sum.green.Entry(i), c.green[i]) << c.sample << " green " << i;
      ASSERT_EQ(c.sum.red.Entry(i), c.red[i]) << c.sample << " red " << i;
    }
  }
}

// --- Frames of BGRA through a wide kernel and its reference ---

// The outputs of one call: the luma, U and V planes, or one packed plane.
struct Outputs {
  std::vector<uint8_t> planes[3];
};

// One BGRA frame, stride = width, converted by a routine of either shape.
struct BgraFrame {
  int32_t width;
  int32_t height;
  std::vector<uint8_t> pixels;

  BgraFrame(int32_t w, int32_t h) : width(w), height(h), pixels(size_t(w) * size_t(h) * 4) {}
  uint8_t* at(int64_t x, int64_t y) { return &pixels[size_t(y * width + x) * 4]; }
  void FillRandom(std::mt19937_64& rng) {  // eight bytes per draw: frames here are large
    for (size_t i = 0; i < pixels.size(); i += 8) {
      const uint64_t bits = rng();
      std::memcpy(&pixels[i], &bits, std::min<size_t>(8, pixels.size() - i));
    }
  }
  void Set(int64_t x, int64_t y, uint32_t colour, uint8_t alpha) {
    uint8_t* p = at(x, y);
    p[0] = static_cast<uint8_t>(colour);
    p[1] = static_cast<uint8_t>(colour >> 8);
    p[2] = static_cast<uint8_t>(colour >> 16);
    p[3] = alpha;
  }

  Outputs Convert(const Variant& shape, AnyRoutine routine) const {
    Outputs out;
    const size_t area = size_t(width) * size_t(height);
    if (shape.routine->shape == RoutineShape::ToPlanar) {
      const size_t chroma = size_t(width / 2) * size_t(height / 2);
      out.planes[0].assign(area, 0x5A);
      out.planes[1].assign(chroma, 0x5A);
      out.planes[2].assign(chroma, 0x5A);
      routine.toPlanar(width, height, pixels.data(), 4 * width, out.planes[0].data(), out.planes[1].data(),
                       out.planes[2].data(), width, 0, 0);
    } else {
      out.planes[0].assign(2 * area, 0x5A);
      routine.packedToPacked(pixels.data(), width, out.planes[0].data(), width, height, width);
    }
    return out;
  }
};

// Where the two outputs first differ, in words, or empty.
std::string FirstMismatch(const Variant& v, const BgraFrame& frame, const Outputs& expected, const Outputs& actual) {
  static const char* const kPlanar[] = {"luma", "U", "V"};
  for (int p = 0; p < 3; ++p) {
    const int64_t at = FirstDifference(expected.planes[p], actual.planes[p]);
    if (at < 0) continue;
    std::ostringstream s;
    const bool planar = v.routine->shape == RoutineShape::ToPlanar;
    const int64_t rowBytes = planar ? (p == 0 ? frame.width : frame.width / 2) : 2 * frame.width;
    const int64_t row = at / rowBytes, column = at % rowBytes;
    const int64_t pixelRow = planar && p > 0 ? 2 * row : row;
    const int64_t pixel = planar ? (p == 0 ? column : 2 * column) : column / 4 * 2;
    const uint8_t* src = &frame.pixels[size_t(pixelRow * frame.width + pixel) * 4];
    s << (planar ? kPlanar[p] : "output") << " byte " << column << " of row " << row << ": expected "
      << int{expected.planes[p][size_t(at)]} << ", got " << int{actual.planes[p][size_t(at)]} << " (pixel " << pixel
      << " of row " << pixelRow << " is B " << int{src[0]} << " G " << int{src[1]} << " R " << int{src[2]} << ")";
    return s.str();
  }
  return {};
}

// Converts the frame with the variant and its reference; true when every
// output byte agrees, a failure naming the first difference otherwise.
bool SameBytes(const Variant& v, const BgraFrame& frame, const char* what) {
  const Outputs expected = frame.Convert(v, v.reference());
  const Outputs actual = frame.Convert(v, v.call);
  const std::string mismatch = FirstMismatch(v, frame, expected, actual);
  if (mismatch.empty()) return true;
  ADD_FAILURE() << v.name() << ", " << what << ": " << mismatch;
  return false;
}

std::vector<Variant> WideVariantsReadingBgra() {
  std::vector<Variant> found;
  for (const Variant& v : SimdVariants())
    if (v.isWide() && v.routine->source == PixelFormat::BGRA) found.push_back(v);
  return found;
}

class WideBgraKernel : public testing::TestWithParam<Variant> {
 protected:
  void SetUp() override {
    if (!ProcessorRuns(GetParam().tier))
      GTEST_SKIP() << GetParam().name() << " skipped: this processor does not run " << TierName(GetParam().tier);
    InitColorConversion();
  }
};

constexpr int32_t kColours = 1 << 24;
constexpr int32_t kPixelsPerCall = 1 << 18;

// Frames that hold every colour, each in two neighbouring pixels: luma of
// every colour, and every colour as a pair's average (the chroma input of
// BGRAToYUY2 and BGRAToUYVY). A width of 4096 is whole steps of every kernel's widest
// registers; a width of 16 leaves only the narrowest step of any kernel
// (BGRA to planar takes it from a padded copy of the row end).
struct EveryColourLayout {
  int32_t width;
  const char* what;
};

constexpr EveryColourLayout kEveryColourLayouts[] = {
    {4096, "every colour as an equal pixel pair, 4096 wide"},
    {16, "every colour as an equal pixel pair, 16 wide"},
};

TEST_P(WideBgraKernel, EveryColourGivesTheReferenceBytes) {
  const Variant& v = GetParam();
  for (const EveryColourLayout& layout : kEveryColourLayouts) {
    BgraFrame frame(layout.width, kPixelsPerCall / layout.width);
    constexpr int32_t kCalls = kColours / (kPixelsPerCall / 2);
    const int32_t step = ExhaustiveSampleStep();
    for (int32_t call = ExhaustiveSampleStart(step, kCalls); call < kCalls; call += step) {
      const int32_t first = call * (kPixelsPerCall / 2);
      for (int32_t p = 0; p < kPixelsPerCall; ++p) {
        const uint32_t colour = static_cast<uint32_t>(first + p / 2);
        frame.Set(p % layout.width, p / layout.width, colour, static_cast<uint8_t>(p * 37));
      }
      if (!SameBytes(v, frame, layout.what)) return;
    }
  }
}

// Each 2 x 2 block of colours whose channels are 0, 1, 254 or 255: 64
// colours, 64^4 blocks, 2^16 blocks per frame; blocks in rows of 256.
TEST_P(WideBgraKernel, EveryBlockOfExtremeColoursGivesTheReferenceBytes) {
  constexpr uint8_t kLevels[] = {0, 1, 254, 255};
  constexpr int32_t kBlocksPerRow = 256, kBlocksPerFrame = 1 << 16;
  BgraFrame frame(2 * kBlocksPerRow, 2 * (kBlocksPerFrame / kBlocksPerRow));
  const auto colourOf = [&](uint32_t code) {  // 6 bits: 2 per channel
    return uint32_t{kLevels[code & 3]} | uint32_t{kLevels[(code >> 2) & 3]} << 8 |
           uint32_t{kLevels[(code >> 4) & 3]} << 16;
  };
  for (uint32_t first = 0; first < (1u << 24); first += kBlocksPerFrame) {
    for (int32_t b = 0; b < kBlocksPerFrame; ++b) {
      const uint32_t block = first + static_cast<uint32_t>(b);  // 24 bits: 6 per pixel
      const int32_t bx = b % kBlocksPerRow, by = b / kBlocksPerRow;
      for (int32_t k = 0; k < 4; ++k)
        frame.Set(2 * bx + (k & 1), 2 * by + (k >> 1), colourOf((block >> (6 * k)) & 63), 255);
    }
    if (!SameBytes(GetParam(), frame, "blocks of extreme colours")) return;
  }
}

TEST_P(WideBgraKernel, LargeRandomFrameGivesTheReferenceBytes) {
  std::mt19937_64 rng(TestSeed() ^ 0xB64A);
  BgraFrame frame(1998, 513);  // neither dimension a whole number of steps; a last odd row
  frame.FillRandom(rng);
  SameBytes(GetParam(), frame, "random frame 1998 x 513");
}

// A destination large enough for streaming stores, aligned for them and
// not: the kernels choose the store by the address, the bytes must not
// change.
class WideBgraToPackedKernel : public WideBgraKernel {};

TEST_P(WideBgraToPackedKernel, StreamedDestinationGivesTheReferenceBytes) {
  const Variant& v = GetParam();
  constexpr int32_t kWidth = 4096;
  const int32_t height = static_cast<int32_t>(kStreamingDestinationBytes / (2 * kWidth)) + 1;
  BgraFrame frame(kWidth, height);
  std::mt19937_64 rng(TestSeed() ^ 0x57EA);
  frame.FillRandom(rng);
  const size_t outBytes = size_t(2) * kWidth * size_t(height);
  std::vector<uint8_t> expected(outBytes), storage(outBytes + 128);
  v.reference().packedToPacked(frame.pixels.data(), kWidth, expected.data(), kWidth, height, kWidth);
  for (const size_t offset : {size_t{0}, size_t{2}}) {
    const uintptr_t base = reinterpret_cast<uintptr_t>(storage.data());
    uint8_t* out = storage.data() + ((64 - base % 64) % 64) + offset;
    std::memset(out, 0x5A, outBytes);
    v.call.packedToPacked(frame.pixels.data(), kWidth, out, kWidth, height, kWidth);
    EXPECT_EQ(std::memcmp(out, expected.data(), outBytes), 0)
        << v.name() << ", destination 64-byte boundary + " << offset;
  }
}

std::vector<Variant> WideVariantsReadingBgraToPacked() {
  std::vector<Variant> found;
  for (const Variant& v : WideVariantsReadingBgra())
    if (v.routine->shape == RoutineShape::PackedToPacked) found.push_back(v);
  return found;
}

INSTANTIATE_TEST_SUITE_P(BgraInput, WideBgraToPackedKernel, testing::ValuesIn(WideVariantsReadingBgraToPacked()),
                         [](const testing::TestParamInfo<Variant>& info) { return info.param.name(); });

INSTANTIATE_TEST_SUITE_P(BgraInput, WideBgraKernel, testing::ValuesIn(WideVariantsReadingBgra()),
                         [](const testing::TestParamInfo<Variant>& info) { return info.param.name(); });

}  // namespace
}  // namespace pellix::test
