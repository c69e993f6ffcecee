// Band conversion gives the bytes of one whole-frame pull: every pair, band
// counts that put the boundaries at odd and even multiples of four rows, a
// last band with an odd row count, widths that are not a multiple of 16 and
// odd sizes where the pair takes them. Destinations start with different
// fillings, so a row no band writes shows as a difference, and a guard
// after the frame catches a band writing past it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "formats/format_names.h"
#include "formats/size_rules.h"
#include "host/band_conversion.h"
#include "host/frame_layout.h"

namespace pellix {
namespace {

constexpr size_t kGuardBytes = 64;

std::shared_ptr<const PluginLibrary> Library() {
  static std::once_flag once;
  static std::shared_ptr<const PluginLibrary> library;
  std::call_once(once, [] { library = std::make_shared<PluginLibrary>(PluginLibrary::defaultPath()); });
  return library;
}

// A frame stored tightly, as files hold it, with its plane pointers.
FrameLayout Tight(PixelFormat format, int32_t width, int32_t height) {
  return LayoutFor(format, width, height, TightStride(format, width));
}

SourcePlanes SourceOf(const std::vector<uint8_t>& frame, const FrameLayout& layout) {
  SourcePlanes planes;
  for (int i = 0; i < layout.planeCount; ++i) {
    planes.planes[i] = {frame.data() + layout.planes[i].offset, layout.planes[i].pitch};
  }
  return planes;
}

DestinationPlanes DestinationOf(std::vector<uint8_t>& frame, const FrameLayout& layout) {
  DestinationPlanes planes;
  for (int i = 0; i < layout.planeCount; ++i) {
    planes.planes[i] = {frame.data() + layout.planes[i].offset, layout.planes[i].pitch};
  }
  return planes;
}

std::vector<uint8_t> Convert(FormatPair pair, int32_t width, int32_t height, int32_t bands,
                             const std::vector<uint8_t>& source, uint8_t filling) {
  const FrameLayout in = Tight(pair.from, width, height);
  const FrameLayout out = Tight(pair.to, width, height);
  std::vector<uint8_t> destination(out.packedBytes() + kGuardBytes, filling);
  BandConversion conversion(Library(), pair.from, pair.to, width, height, bands);
  conversion.convert(SourceOf(source, in), DestinationOf(destination, out));
  for (size_t i = out.packedBytes(); i < destination.size(); ++i) {
    if (destination[i] != filling) ADD_FAILURE() << "byte " << i << " written past the frame";
  }
  destination.resize(out.packedBytes());
  return destination;
}

struct Geometry {
  int32_t width;
  int32_t height;
};

const Geometry kGeometries[] = {
    {64, 48},    // bands of whole units
    {62, 46},    // width not a multiple of 16; the last band gets the two spare rows
    {34, 38},
    {18, 4},     // too short to split: one band
    {1922, 70},  // wide rows
    {33, 37},    // odd: the last band has an odd row count (pairs that take odd sizes)
    {7, 13},
};

// Boundaries at 4 x odd and 4 x even rows, and more bands than units.
const int32_t kBandCounts[] = {2, 3, 5, 8, 64};

bool Takes(FormatPair pair, const Geometry& g) {
  const bool even = g.width % 2 == 0 && g.height % 2 == 0;
  if ((IsPlanar(pair.from) || IsPlanar(pair.to)) && !even) return false;
  return AcceptsSize(pair, g.width, g.height);
}

class Bands : public ::testing::TestWithParam<FormatPair> {};

TEST_P(Bands, SameBytesAsOneWholeFramePull) {
  const FormatPair pair = GetParam();
  std::mt19937 random(static_cast<uint32_t>(pair.from) * 31 + static_cast<uint32_t>(pair.to));
  for (const Geometry& g : kGeometries) {
    if (!Takes(pair, g)) continue;
    std::vector<uint8_t> source(Tight(pair.from, g.width, g.height).packedBytes());
    for (uint8_t& byte : source) byte = static_cast<uint8_t>(random());
    const std::vector<uint8_t> whole = Convert(pair, g.width, g.height, 1, source, 0xA5);
    for (const int32_t bands : kBandCounts) {
      SCOPED_TRACE(std::to_string(g.width) + "x" + std::to_string(g.height) + " in " + std::to_string(bands) +
                   " bands");
      const std::vector<uint8_t> banded = Convert(pair, g.width, g.height, bands, source, 0x5A);
      ASSERT_EQ(banded.size(), whole.size());
      size_t first = 0;
      while (first < whole.size() && banded[first] == whole[first]) ++first;
      EXPECT_EQ(first, whole.size()) << "first difference at byte " << first;
    }
  }
}

std::string PairName(const ::testing::TestParamInfo<FormatPair>& info) {
  return std::string(FormatName(info.param.from)) + "To" + FormatName(info.param.to);
}

INSTANTIATE_TEST_SUITE_P(AllPairs, Bands, ::testing::ValuesIn(kAllPairs), PairName);

// A frame whose rows are `padding` bytes longer than their pixels, plane
// after plane, between guards: one pitch a band can view and one it cannot
// (not whole pixels, or padding a packed-to-packed conversion would write).
struct PaddedFrame {
  PaddedFrame(const FrameLayout& tight, uint64_t padding, uint8_t filling) : layout(tight) {
    uint64_t at = kGuardBytes;
    for (int i = 0; i < tight.planeCount; ++i) {
      offsets[i] = at;
      pitches[i] = tight.planes[i].rowBytes + padding;
      at += pitches[i] * tight.planes[i].rows;
    }
    bytes.assign(at + kGuardBytes, filling);
  }
  // Where byte `column` of row `row` of plane `plane` lies.
  uint64_t at(int plane, uint64_t row, uint64_t column) const { return offsets[plane] + row * pitches[plane] + column; }

  FrameLayout layout;
  uint64_t offsets[3] = {};
  uint64_t pitches[3] = {};
  std::vector<uint8_t> bytes;
};

// `tight` (a frame as Tight lays it out) copied into padded rows.
PaddedFrame Padded(const std::vector<uint8_t>& tight, const FrameLayout& layout, uint64_t padding) {
  PaddedFrame frame(layout, padding, 0xEE);
  for (int i = 0; i < layout.planeCount; ++i) {
    for (uint64_t row = 0; row < layout.planes[i].rows; ++row) {
      std::copy_n(tight.begin() + static_cast<std::ptrdiff_t>(layout.planes[i].rowOffset(row)),
                  layout.planes[i].rowBytes, frame.bytes.begin() + static_cast<std::ptrdiff_t>(frame.at(i, row, 0)));
    }
  }
  return frame;
}

// Source and destination pitches of whole pixels and of none, with and
// without padding, in every combination through one component set (so its
// bands change between views of the caller's rows and copies): the rows get
// the bytes of a whole-frame pull and no other byte of the destination,
// padding and guards included, is touched.
TEST_P(Bands, AnyPitchesGiveTheSameBytesAndTouchOnlyTheRows) {
  const FormatPair pair = GetParam();
  const uint64_t paddings[] = {0, 8, 1, 6};
  std::mt19937 random(static_cast<uint32_t>(pair.from) * 17 + static_cast<uint32_t>(pair.to));
  for (const Geometry& g : {Geometry{62, 46}, Geometry{33, 37}}) {
    if (!Takes(pair, g)) continue;
    const FrameLayout in = Tight(pair.from, g.width, g.height);
    const FrameLayout out = Tight(pair.to, g.width, g.height);
    std::vector<uint8_t> source(in.packedBytes());
    for (uint8_t& byte : source) byte = static_cast<uint8_t>(random());
    const std::vector<uint8_t> whole = Convert(pair, g.width, g.height, 1, source, 0xA5);
    BandConversion bands(Library(), pair.from, pair.to, g.width, g.height, 3);
    for (const uint64_t sourcePadding : paddings) {
      for (const uint64_t destinationPadding : paddings) {
        SCOPED_TRACE(std::to_string(g.width) + "x" + std::to_string(g.height) + ", rows padded by " +
                     std::to_string(sourcePadding) + " and " + std::to_string(destinationPadding) + " bytes");
        const PaddedFrame padded = Padded(source, in, sourcePadding);
        SourcePlanes from;
        for (int i = 0; i < in.planeCount; ++i) from.planes[i] = {padded.bytes.data() + padded.offsets[i], padded.pitches[i]};
        PaddedFrame converted(out, destinationPadding, 0x5A);
        DestinationPlanes to;
        for (int i = 0; i < out.planeCount; ++i) {
          to.planes[i] = {converted.bytes.data() + converted.offsets[i], converted.pitches[i]};
        }
        bands.convert(from, to);
        std::vector<uint8_t> expected(converted.bytes.size(), 0x5A);
        for (int i = 0; i < out.planeCount; ++i) {
          for (uint64_t row = 0; row < out.planes[i].rows; ++row) {
            std::copy_n(whole.begin() + static_cast<std::ptrdiff_t>(out.planes[i].rowOffset(row)),
                        out.planes[i].rowBytes,
                        expected.begin() + static_cast<std::ptrdiff_t>(converted.at(i, row, 0)));
          }
        }
        size_t first = 0;
        while (first < expected.size() && converted.bytes[first] == expected[first]) ++first;
        EXPECT_EQ(first, expected.size()) << "first difference at byte " << first << " of " << expected.size();
      }
    }
  }
}

// The same component set converts frame after frame, and a band count below
// one means one per core.
TEST(Bands, ReusedForManyFramesAndOnePerCoreByDefault) {
  const FormatPair pair{PixelFormat::I420, PixelFormat::BGRA};
  const int32_t width = 96, height = 64;
  BandConversion perCore(Library(), pair.from, pair.to, width, height, 0);
  EXPECT_GE(perCore.bandCount(), 1);
  BandConversion four(Library(), pair.from, pair.to, width, height, 4);
  EXPECT_EQ(four.bandCount(), 4);
  const FrameLayout in = Tight(pair.from, width, height);
  const FrameLayout out = Tight(pair.to, width, height);
  std::mt19937 random(7);
  for (int frame = 0; frame < 5; ++frame) {
    std::vector<uint8_t> source(in.packedBytes());
    for (uint8_t& byte : source) byte = static_cast<uint8_t>(random());
    std::vector<uint8_t> banded(out.packedBytes());
    four.convert(SourceOf(source, in), DestinationOf(banded, out));
    EXPECT_TRUE(banded == Convert(pair, width, height, 1, source, 0)) << "frame " << frame;
  }
}

}  // namespace
}  // namespace pellix
