// Destinations large enough for the frame walks to allow stores that bypass
// the caches: every wide variant of the planar-to-packed and packed-to-packed
// routines gives the bytes of its reference there too, with the destination
// at a vector-aligned address (the streaming stores) and one pixel past it
// (ordinary stores), ending at a guard page.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "colorconv/routines.h"
#include "colorconv/simd/frame_walks.h"
#include "tests/support/rig/guarded_buffer.h"
#include "tests/simd/variant_table.h"

namespace pellix::test {
namespace {

constexpr int32_t kWidth = 2048;  // whole 64-byte vectors in every row

// xorshift64: fills tens of megabytes quickly and irregularly.
std::vector<uint8_t> RandomBytes(size_t n, uint64_t seed) {
  std::vector<uint8_t> bytes(n);
  uint64_t state = seed * 0x9E3779B97F4A7C15u + 1;
  for (size_t i = 0; i < n; i += 8) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    std::memcpy(&bytes[i], &state, n - i < 8 ? n - i : 8);
  }
  return bytes;
}

// Enough rows of rowBytes for the walks to stream.
int32_t StreamingRows(int64_t rowBytes) {
  return static_cast<int32_t>((kStreamingDestinationBytes + rowBytes - 1) / rowBytes + 1) & ~1;
}

// A destination of `bytes` (a multiple of 64) at `lead` bytes past a 64-byte
// boundary, in a buffer that ends at a guard page 64 - lead bytes after it.
struct Destination {
  explicit Destination(int64_t bytes) : buffer(static_cast<size_t>(bytes) + 64) {}
  uint8_t* Fresh(size_t lead) {
    std::memset(buffer.data(), 0xA5, buffer.size());
    return buffer.data() + lead;
  }
  bool operator==(const Destination& o) const {
    return std::memcmp(buffer.data(), o.buffer.data(), buffer.size()) == 0;
  }
  GuardedBuffer buffer;
};

class StreamingDestination : public testing::TestWithParam<Variant> {};

TEST_P(StreamingDestination, GivesTheReferenceBytes) {
  const Variant& wide = GetParam();
  if (!ProcessorRuns(wide.tier))
    GTEST_SKIP() << wide.name() << " skipped: this processor does not run " << TierName(wide.tier);
  const RoutineDescription& routine = *wide.routine;
  const int32_t inBytes = routine.source == PixelFormat::I420 ? 1 : BitsPerPixel(routine.source) / 8;
  const int32_t outBytes = BitsPerPixel(routine.destination) / 8;
  const int32_t rows = StreamingRows(int64_t{outBytes} * kWidth);
  const size_t pixels = size_t{kWidth} * size_t(rows);
  const std::vector<uint8_t> src = RandomBytes(inBytes == 1 ? pixels * 3 / 2 : pixels * size_t(inBytes), 7);
  ColorAdjustment adjust{};
  InitColorAdjustment(&adjust, 5, 300, 200);  // every sample through the adjustment where a variant has one
  Destination got(int64_t{outBytes} * kWidth * rows), expected(int64_t{outBytes} * kWidth * rows);
  for (const size_t lead : {size_t{0}, size_t(outBytes)}) {
    SCOPED_TRACE(lead == 0 ? "aligned destination" : "destination one pixel past alignment");
    uint8_t* dst = got.Fresh(lead);
    uint8_t* reference = expected.Fresh(lead);
    if (routine.shape == RoutineShape::PlanarToPacked) {
      const uint8_t* y = src.data();
      const uint8_t* u = y + pixels;
      const uint8_t* v = u + pixels / 4;
      wide.packed()(y, kWidth, u, v, kWidth / 2, dst, kWidth, rows, kWidth, &adjust, 0);
      wide.reference().planarToPacked(y, kWidth, u, v, kWidth / 2, reference, kWidth, rows, kWidth, &adjust, 0);
    } else {
      ASSERT_EQ(routine.shape, RoutineShape::PackedToPacked);
      wide.packedToPacked()(src.data(), kWidth, dst, kWidth, rows, kWidth);
      wide.reference().packedToPacked(src.data(), kWidth, reference, kWidth, rows, kWidth);
    }
    EXPECT_TRUE(got == expected);
  }
}

std::vector<Variant> WideVariantsWritingPackedRows() {
  std::vector<Variant> found;
  for (const Variant& v : SimdVariants())
    if (v.isWide() && v.routine->shape != RoutineShape::ToPlanar) found.push_back(v);
  return found;
}

INSTANTIATE_TEST_SUITE_P(WideVariants, StreamingDestination, testing::ValuesIn(WideVariantsWritingPackedRows()),
                         [](const testing::TestParamInfo<Variant>& info) { return info.param.name(); });

}  // namespace
}  // namespace pellix::test
