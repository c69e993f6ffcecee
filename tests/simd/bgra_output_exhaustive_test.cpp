// The wide kernels that produce BGRA against the routines whose bytes they
// must give, over every (Y, U, V) triple, and the integer forms of the
// lookup tables against the tables at every index.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "colorconv/dispatch/routine_catalogue.h"
#include "colorconv/routines.h"
#include "colorconv/simd/frame_walks.h"
#include "colorconv/simd/yuv_to_bgra_table_forms.h"
#include "colorconv/tables.h"
#include "formats/packed422_order.h"
#include "tests/simd/variant_table.h"
#include "tests/support/exhaustive_sample.h"

namespace pellix::test {
namespace {

namespace forms = yuv_to_bgra;

int32_t Clamp(int32_t i, int32_t low, int32_t high) { return i < low ? low : (i > high ? high : i); }

// ---- The integer forms of the tables ----

struct ChromaTable {
  const char* name;
  const int32_t* table;
  forms::ChromaForm form;
};

std::vector<ChromaTable> ChromaTables() {
  BuildYuvToRgbTables();
  return {{"VToRedTable", VToRedTable, forms::kVToRedForm},
          {"VToGreenTable", VToGreenTable, forms::kVToGreenForm},
          {"UToGreenTable", UToGreenTable, forms::kUToGreenForm},
          {"UToBlueTable", UToBlueTable, forms::kUToBlueForm}};
}

// The kernels clamp a sample first and then evaluate the form, so every
// byte value is an index the form must answer for.
TEST(YuvToBgraTableForms, LumaFormIsTheTableAtEveryIndex) {
  BuildYuvToRgbTables();
  for (int32_t i = 0; i < 256; ++i)
    EXPECT_EQ(forms::LumaByForm(Clamp(i, forms::kLumaLow, forms::kLumaHigh)), LumaToRgbTable[i]) << "index " << i;
}

TEST(YuvToBgraTableForms, ChromaFormsAreTheTablesAtEveryIndex) {
  for (const ChromaTable& t : ChromaTables())
    for (int32_t i = 0; i < 256; ++i)
      EXPECT_EQ(forms::ChromaByForm(t.form, Clamp(i, forms::kChromaLow, forms::kChromaHigh)), t.table[i])
          << t.name << " index " << i;
}

// How many A give some B with floor((x * A + B) / 2^20) = table[centre + x]
// for every x in [low, high]. Matching the two ends already pins A to
// within 2^20 * 2 / (high - low) of the table's slope, so every such A is
// tried, each with the interval of B that every x allows.
int64_t FloorLinearForms(const int32_t* table, int64_t centre, int64_t low, int64_t high) {
  constexpr int64_t kUnit = int64_t{1} << 20;
  const int64_t rise = table[centre + high] - table[centre + low];
  int64_t found = 0;
  for (int64_t a = ((rise - 1) * kUnit) / (high - low) - 1; a <= ((rise + 1) * kUnit) / (high - low) + 1; ++a) {
    int64_t lowestB = INT64_MIN, highestB = INT64_MAX;
    for (int64_t x = low; x <= high && lowestB <= highestB; ++x) {
      lowestB = std::max(lowestB, table[centre + x] * kUnit - x * a);
      highestB = std::min(highestB, (table[centre + x] + 1) * kUnit - 1 - x * a);
    }
    found += lowestB <= highestB;
  }
  return found;
}

// Why the chroma forms carry a step: no floor((x * A + B) / 2^S) with a
// shift S of up to 20 bits reproduces a chroma table (a form at one shift is
// also one, doubled, at every larger shift, so 20 covers all smaller ones,
// and 16-bit multiply-highs with a short shift after them stay below it).
TEST(YuvToBgraTableForms, NoChromaTableHasASingleLinearForm) {
  for (const ChromaTable& t : ChromaTables())
    EXPECT_EQ(FloorLinearForms(t.table, forms::kChromaCentre, forms::kChromaLow - forms::kChromaCentre,
                               forms::kChromaHigh - forms::kChromaCentre),
              0)
        << t.name;
  // The same search finds the luma table's forms.
  EXPECT_GT(FloorLinearForms(LumaToRgbTable, forms::kLumaLow, 0, forms::kLumaHigh - forms::kLumaLow), 0);
}

// ---- Every (Y, U, V) triple through the wide kernels ----

// Frames 352 pixels wide: 11 groups of 32 for the 256-bit kernels, 5 steps
// of 64 and one of 32 for the 512-bit ones. One frame per U value holds
// every (Y, V) pair.
constexpr int32_t kWidth = 352;

struct TripleCase {
  RoutineId routine;
  Tier tier;
};

constexpr RoutineId kToBgra = RoutineId::Planar420ToBGRA;
constexpr RoutineId kFromYuy2 = RoutineId::YUY2ToBGRA;
constexpr RoutineId kFromUyvy = RoutineId::UYVYToBGRA;

const RoutineDescription& RoutineOf(const TripleCase& c) { return CatalogueEntry(c.routine); }

std::string CaseName(const testing::TestParamInfo<TripleCase>& info) {
  return VariantName(RoutineOf(info.param), info.param.tier);
}

class WideBgraKernel : public testing::TestWithParam<TripleCase> {
 protected:
  void SetUp() override {
    InitColorConversion();
    const TripleCase& c = GetParam();
    const RoutineVariant* variant = RoutineOf(c).variant(c.tier);
    const std::string name = VariantName(RoutineOf(c), c.tier);
    ASSERT_NE(variant, nullptr) << name << " is not built";
    if (!ProcessorRuns(c.tier)) GTEST_SKIP() << name << ": this processor does not run " << TierName(c.tier);
    wide_ = variant->routine;
    reference_ = RoutineOf(c).reference().routine;
  }

  AnyRoutine wide_, reference_;
};

class EveryTriple : public WideBgraKernel {};
class StreamedFrames : public WideBgraKernel {};
class AdjustedTriples : public WideBgraKernel {};

// Index of the first pixel where two BGRA frames differ, or -1.
int64_t FirstPixelDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a == b) return -1;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return static_cast<int64_t>(i / 4);
  return -1;
}

// Planar frame for one U value: chroma sample n (row-major) carries
// V = n / 64, and its 2 x 2 pixels the luma 4 (n % 64) + 0..3.
struct PlanarTriples {
  static constexpr int32_t kHeight = 188;  // 94 x 176 chroma samples >= 256 x 64
  static constexpr int32_t kChromaWidth = kWidth / 2;
  std::vector<uint8_t> y = std::vector<uint8_t>(size_t{kWidth} * kHeight);
  std::vector<uint8_t> u = std::vector<uint8_t>(size_t{kChromaWidth} * (kHeight / 2));
  std::vector<uint8_t> v = std::vector<uint8_t>(u.size());

  PlanarTriples() {
    for (int32_t row = 0; row < kHeight; ++row) {
      for (int32_t x = 0; x < kWidth; ++x) {
        const int32_t n = (row / 2) * kChromaWidth + x / 2;
        y[size_t(row) * kWidth + size_t(x)] = static_cast<uint8_t>(4 * (n % 64) + (x & 1) + 2 * (row & 1));
        v[size_t(n)] = static_cast<uint8_t>(n / 64);
      }
    }
  }

  std::vector<uint8_t> expected = std::vector<uint8_t>(size_t{kWidth} * kHeight * 4);
  std::vector<uint8_t> actual = expected;

  // First differing pixel of the two routines' outputs for U = uValue, or -1.
  int64_t Compare(Planar420ToPackedRoutine reference, Planar420ToPackedRoutine wide, uint8_t uValue,
                  const ColorAdjustment& adjust) {
    std::fill(u.begin(), u.end(), uValue);
    reference(y.data(), kWidth, u.data(), v.data(), kChromaWidth, expected.data(), kWidth, kHeight, kWidth, &adjust, 0);
    wide(y.data(), kWidth, u.data(), v.data(), kChromaWidth, actual.data(), kWidth, kHeight, kWidth, &adjust, 0);
    return FirstPixelDifference(expected, actual);
  }
};

// 4:2:2 frame for one U value: macropixel n (row-major) carries V = n / 128
// and the lumas 2 (n % 128) and 2 (n % 128) + 1.
struct PackedTriples {
  static constexpr int32_t kHeight = 187;  // 187 x 176 macropixels >= 256 x 128
  static constexpr int32_t kMacropixels = kWidth / 2;
  std::vector<uint8_t> src = std::vector<uint8_t>(size_t{kWidth} * kHeight * 2);
  Packed422Order order;

  explicit PackedTriples(PixelFormat format) : order(Packed422OrderOf(format)) {
    for (int32_t n = 0; n < kHeight * kMacropixels; ++n) {
      uint8_t* m = &src[4 * size_t(n)];
      const uint8_t luma0 = static_cast<uint8_t>(2 * (n % 128)), v = static_cast<uint8_t>(n / 128);
      m[order.luma0] = luma0;
      m[order.luma1] = static_cast<uint8_t>(luma0 + 1);
      m[order.v] = v;
    }
  }

  std::vector<uint8_t> expected = std::vector<uint8_t>(size_t{kWidth} * kHeight * 4);
  std::vector<uint8_t> actual = expected;

  int64_t Compare(PackedToPackedRoutine reference, PackedToPackedRoutine wide, uint8_t uValue) {
    for (size_t n = 0; n < src.size() / 4; ++n) src[4 * n + order.u] = uValue;
    reference(src.data(), kWidth, expected.data(), kWidth, kHeight, kWidth);
    wide(src.data(), kWidth, actual.data(), kWidth, kHeight, kWidth);
    return FirstPixelDifference(expected, actual);
  }
};

// Runs compare(U value), which returns the first differing pixel or -1, for
// the U values given; reports the first few that differ.
template <class Compare>
void ForUValues(int32_t step, Compare compare) {
  int failures = 0;
  const int32_t sample = step * ExhaustiveSampleStep();
  for (int32_t uValue = ExhaustiveSampleStart(sample, 256) / step * step; uValue < 256 && failures < 3;
       uValue += sample) {
    const int64_t at = compare(static_cast<uint8_t>(uValue));
    if (at < 0) continue;
    ++failures;
    ADD_FAILURE() << "U " << uValue << ": first difference at pixel " << at % kWidth << " of row " << at / kWidth;
  }
}

TEST_P(EveryTriple, GivesTheReferenceBytes) {
  const RoutineDescription& routine = RoutineOf(GetParam());
  if (routine.shape == RoutineShape::PlanarToPacked) {
    PlanarTriples frame;
    const ColorAdjustment& adjust = ProcessColorAdjustment();
    ForUValues(1, [&](uint8_t u) { return frame.Compare(reference_.planarToPacked, wide_.planarToPacked, u, adjust); });
  } else {
    PackedTriples frame(routine.source);
    ForUValues(1, [&](uint8_t u) { return frame.Compare(reference_.packedToPacked, wide_.packedToPacked, u); });
  }
}

// Planar420ToBGRA applies the record's gains and offset to every sample. Records as
// InitColorAdjustment makes them, some with a flag that disagrees with the
// values: the arithmetic follows the values.
struct RecordCase {
  int32_t offset, lumaGain, chromaGain, flag;
};
constexpr RecordCase kRecords[] = {
    {0, 256, 256, 0}, {5, 256, 256, 1},        {-40, 200, 300, 0}, {16, 256, 0, 0},
    {0, 0, 256, 0},   {127, 32767, -32768, 0}, {-32768, -1, 1, 1}, {300, 511, 257, 0},
};

TEST_P(AdjustedTriples, GiveTheReferenceBytesForAnyRecord) {
  PlanarTriples frame;
  for (const RecordCase& r : kRecords) {
    SCOPED_TRACE("offset " + std::to_string(r.offset) + ", gains " + std::to_string(r.lumaGain) + " and " +
                 std::to_string(r.chromaGain) + ", flag " + std::to_string(r.flag));
    ColorAdjustment adjust{};
    InitColorAdjustment(&adjust, r.offset, r.lumaGain, r.chromaGain);
    adjust.isIdentity = r.flag;
    ForUValues(5, [&](uint8_t u) { return frame.Compare(reference_.planarToPacked, wide_.planarToPacked, u, adjust); });
  }
}

// Frames large enough for the walks to ask for stores that bypass the
// caches, with the destination on a 64-byte boundary (the kernels stream)
// and 4 bytes past one (they cannot, and store as usual): the same bytes
// as the reference either way.
TEST_P(StreamedFrames, GiveTheReferenceBytes) {
  constexpr int32_t kFrameWidth = 4096;
  const int32_t height = static_cast<int32_t>(kStreamingDestinationBytes / (int64_t{kFrameWidth} * 4)) + 2;
  const size_t outBytes = size_t{kFrameWidth} * size_t(height) * 4;
  const bool planar = RoutineOf(GetParam()).shape == RoutineShape::PlanarToPacked;
  std::vector<uint8_t> src(size_t{kFrameWidth} * size_t(height) * 2);  // planar takes 1.5 bytes a pixel of it
  uint32_t state = 12345;
  for (uint8_t& byte : src) byte = static_cast<uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
  auto convert = [&](AnyRoutine routine, uint8_t* out) {
    if (planar) {
      const uint8_t* y = src.data();
      const uint8_t* u = y + size_t{kFrameWidth} * size_t(height);
      const uint8_t* v = u + size_t{kFrameWidth / 2} * size_t(height / 2);
      routine.planarToPacked(y, kFrameWidth, u, v, kFrameWidth / 2, out, kFrameWidth, height, kFrameWidth,
                             &ProcessColorAdjustment(), 0);
    } else {
      routine.packedToPacked(src.data(), kFrameWidth, out, kFrameWidth, height, kFrameWidth);
    }
  };
  std::vector<uint8_t> expected(outBytes), actual(outBytes + 128);
  convert(reference_, expected.data());
  const uintptr_t base = reinterpret_cast<uintptr_t>(actual.data());
  for (const size_t misalignment : {size_t{0}, size_t{4}}) {
    SCOPED_TRACE("destination " + std::to_string(misalignment) + " bytes past a 64-byte boundary");
    uint8_t* out = actual.data() + (64 - base % 64) % 64 + misalignment;
    convert(wide_, out);
    EXPECT_EQ(std::memcmp(expected.data(), out, outBytes), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(WideKernels, EveryTriple,
                         testing::Values(TripleCase{kToBgra, Tier::AVX2}, TripleCase{kToBgra, Tier::AVX512},
                                         TripleCase{kFromYuy2, Tier::AVX2}, TripleCase{kFromYuy2, Tier::AVX512},
                                         TripleCase{kFromUyvy, Tier::AVX2}, TripleCase{kFromUyvy, Tier::AVX512}),
                         CaseName);

INSTANTIATE_TEST_SUITE_P(WideKernels, StreamedFrames,
                         testing::Values(TripleCase{kToBgra, Tier::AVX2}, TripleCase{kToBgra, Tier::AVX512},
                                         TripleCase{kFromYuy2, Tier::AVX2}, TripleCase{kFromYuy2, Tier::AVX512},
                                         TripleCase{kFromUyvy, Tier::AVX2}, TripleCase{kFromUyvy, Tier::AVX512}),
                         CaseName);

INSTANTIATE_TEST_SUITE_P(WideKernels, AdjustedTriples,
                         testing::Values(TripleCase{kToBgra, Tier::AVX2}, TripleCase{kToBgra, Tier::AVX512}), CaseName);

}  // namespace
}  // namespace pellix::test
