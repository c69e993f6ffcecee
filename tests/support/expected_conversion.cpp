#include "tests/support/expected_conversion.h"

#include <cstring>

#include "colorconv/routines.h"
#include "formats/planar_layout.h"

namespace pellix {
namespace {

template <class Byte>
struct Planes {
  Byte* y;
  Byte* u;
  Byte* v;
};

// The planes of a planar frame at `base` whose chroma planes lie at `chroma`.
template <class Byte>
Planes<Byte> PlanesOf(PixelFormat format, Byte* base, const ChromaPlanes& chroma) {
  Byte* first = base + chroma.first;
  Byte* second = base + chroma.second;
  return format == PixelFormat::I420 ? Planes<Byte>{base, first, second} : Planes<Byte>{base, second, first};
}

}  // namespace

std::vector<uint8_t> ExpectedConversion(PixelFormat input, PixelFormat output, const Tessel::Frame& source,
                                        const Tessel::ImageProperties& image, int32_t ds, uint32_t destinationCapacity,
                                        int32_t interlaced) {
  // The routines an SSE2 processor runs: every wider tier the plug-in may
  // have chosen must give their bytes.
  const ConversionRoutines slots = SelectConversionRoutines(InitColorConversion());
  const ColorAdjustment* adjust = &ProcessColorAdjustment();
  std::vector<uint8_t> out(destinationCapacity, 0);
  // The routines take a non-const source pointer in none of their shapes, but
  // the frame's buffer is reached through a const Frame here.
  auto& frame = const_cast<Tessel::Frame&>(source);
  const uint8_t* src = frame.lock();
  uint8_t* dst = out.data();
  const int32_t w = source.imageProperties.width;
  const int32_t h = source.imageProperties.height;
  const int32_t s = source.imageProperties.stride;

  if (IsPlanar(input) && IsPlanar(output)) {
    const auto from = PlanesOf(input, src, SourceChromaPlanes(h, s));
    // The plane copy places destination planes like every planar destination.
    const auto to = PlanesOf(output, dst, DestinationChromaPlanes(h, ds));
    for (int32_t row = 0; row < h; ++row) {
      std::memcpy(to.y + int64_t{row} * ds, from.y + int64_t{row} * s, w);
    }
    for (int32_t row = 0; row < image.height / 2; ++row) {
      const int64_t inRow = ChromaRowOffset(row, s, ChromaRowRule::HalvedStride);
      const int64_t outRow = ChromaRowOffset(row, ds, ChromaRowRule::HalvedStride);
      std::memcpy(to.u + outRow, from.u + inRow, w / 2);
      std::memcpy(to.v + outRow, from.v + inRow, w / 2);
    }
  } else if (IsPlanar(input)) {
    const auto from = PlanesOf(input, src, SourceChromaPlanes(h, s));
    const Planar420ToPackedRoutine routine = output == PixelFormat::YUY2   ? slots.planar420ToYUY2
                                             : output == PixelFormat::UYVY ? slots.planar420ToUYVY
                                                                           : slots.planar420ToBGRA;
    routine(from.y, s, from.u, from.v, static_cast<int32_t>(static_cast<uint32_t>(s) >> 1), dst, w, h, ds, adjust,
            interlaced);
  } else if (IsPlanar(output)) {
    const auto to = PlanesOf(output, dst, DestinationChromaPlanes(h, ds));
    const ToPlanar420Routine routine = input == PixelFormat::BGRA   ? slots.bgraToPlanar420
                                       : input == PixelFormat::YUY2 ? slots.yuy2ToPlanar420
                                                                    : slots.uyvyToPlanar420;
    const int32_t pitch = input == PixelFormat::BGRA ? 4 * s : 2 * s;
    routine(w, h, src, pitch, to.y, to.u, to.v, ds, 0, 0);
  } else if (input == PixelFormat::BGRA) {
    const PackedToPackedRoutine routine = output == PixelFormat::YUY2 ? slots.bgraToYUY2 : slots.bgraToUYVY;
    routine(src, s, dst, ds, h, w);
  } else if (output == PixelFormat::BGRA) {
    const PackedToPackedRoutine routine = input == PixelFormat::YUY2 ? slots.yuy2ToBGRA : slots.uyvyToBGRA;
    routine(src, s, dst, ds, image.height, image.width);
  } else {
    // YUY2 <-> UYVY: swap the bytes of every 4-byte group over the whole pitch.
    const int64_t pitch = 2 * int64_t{s};
    for (int64_t row = 0; row < h; ++row) {
      for (int64_t group = 0; group < pitch / 4; ++group) {
        const uint8_t* in = src + row * pitch + group * 4;
        uint8_t* o = dst + row * pitch + group * 4;
        o[0] = in[1];
        o[1] = in[0];
        o[2] = in[3];
        o[3] = in[2];
      }
    }
  }
  frame.unlock();
  return out;
}

}  // namespace pellix
