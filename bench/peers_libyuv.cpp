#include <libyuv.h>

#include <cstdint>

#include "bench/peers.h"

namespace pellix::bench {
namespace {

using F = PixelFormat;

bool IsPlanarFormat(F f) { return f == F::I420 || f == F::YV12; }

// Exchanges bytes 0,1 and 2,3 of every 4-byte group: YUY2 <-> UYVY when
// each macropixel is treated as one 32-bit pixel.
constexpr uint8_t kSwapBytePairs[16] = {1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14};

LibyuvConversion Make(const char* name, std::function<bool(const ImageRef&, const ImageRef&)> run) {
  return {name, std::move(run)};
}

// Planar frames reach libyuv as Y, U, V whatever their memory order, so the
// I420 entry points serve YV12 by exchanging the chroma plane pointers.
LibyuvConversion Lookup(F in, F out) {
  const bool planarIn = IsPlanarFormat(in);
  const bool planarOut = IsPlanarFormat(out);
  if (planarIn && planarOut) {
    return Make("I420Copy", [](const ImageRef& s, const ImageRef& d) {
      return libyuv::I420Copy(s.plane[0], s.pitch[0], s.plane[1], s.pitch[1], s.plane[2], s.pitch[2], d.plane[0],
                              d.pitch[0], d.plane[1], d.pitch[1], d.plane[2], d.pitch[2], s.width, s.height) == 0;
    });
  }
  if (planarIn) {
    switch (out) {
      case F::YUY2:
        return Make("I420ToYUY2", [](const ImageRef& s, const ImageRef& d) {
          return libyuv::I420ToYUY2(s.plane[0], s.pitch[0], s.plane[1], s.pitch[1], s.plane[2], s.pitch[2], d.plane[0],
                                    d.pitch[0], s.width, s.height) == 0;
        });
      case F::UYVY:
        return Make("I420ToUYVY", [](const ImageRef& s, const ImageRef& d) {
          return libyuv::I420ToUYVY(s.plane[0], s.pitch[0], s.plane[1], s.pitch[1], s.plane[2], s.pitch[2], d.plane[0],
                                    d.pitch[0], s.width, s.height) == 0;
        });
      default:
        return Make("I420ToARGB", [](const ImageRef& s, const ImageRef& d) {
          return libyuv::I420ToARGB(s.plane[0], s.pitch[0], s.plane[1], s.pitch[1], s.plane[2], s.pitch[2], d.plane[0],
                                    d.pitch[0], s.width, s.height) == 0;
        });
    }
  }
  if (planarOut) {
    switch (in) {
      case F::YUY2:
        return Make("YUY2ToI420", [](const ImageRef& s, const ImageRef& d) {
          return libyuv::YUY2ToI420(s.plane[0], s.pitch[0], d.plane[0], d.pitch[0], d.plane[1], d.pitch[1], d.plane[2],
                                    d.pitch[2], s.width, s.height) == 0;
        });
      case F::UYVY:
        return Make("UYVYToI420", [](const ImageRef& s, const ImageRef& d) {
          return libyuv::UYVYToI420(s.plane[0], s.pitch[0], d.plane[0], d.pitch[0], d.plane[1], d.pitch[1], d.plane[2],
                                    d.pitch[2], s.width, s.height) == 0;
        });
      default:
        return Make("ARGBToI420", [](const ImageRef& s, const ImageRef& d) {
          return libyuv::ARGBToI420(s.plane[0], s.pitch[0], d.plane[0], d.pitch[0], d.plane[1], d.pitch[1], d.plane[2],
                                    d.pitch[2], s.width, s.height) == 0;
        });
    }
  }
  if (in == F::YUY2 && out == F::BGRA) {
    return Make("YUY2ToARGB", [](const ImageRef& s, const ImageRef& d) {
      return libyuv::YUY2ToARGB(s.plane[0], s.pitch[0], d.plane[0], d.pitch[0], s.width, s.height) == 0;
    });
  }
  if (in == F::UYVY && out == F::BGRA) {
    return Make("UYVYToARGB", [](const ImageRef& s, const ImageRef& d) {
      return libyuv::UYVYToARGB(s.plane[0], s.pitch[0], d.plane[0], d.pitch[0], s.width, s.height) == 0;
    });
  }
  if (in == F::BGRA && out == F::YUY2) {
    return Make("ARGBToYUY2", [](const ImageRef& s, const ImageRef& d) {
      return libyuv::ARGBToYUY2(s.plane[0], s.pitch[0], d.plane[0], d.pitch[0], s.width, s.height) == 0;
    });
  }
  if (in == F::BGRA && out == F::UYVY) {
    return Make("ARGBToUYVY", [](const ImageRef& s, const ImageRef& d) {
      return libyuv::ARGBToUYVY(s.plane[0], s.pitch[0], d.plane[0], d.pitch[0], s.width, s.height) == 0;
    });
  }
  if ((in == F::YUY2 && out == F::UYVY) || (in == F::UYVY && out == F::YUY2)) {
    // libyuv has no packed 4:2:2 swap; its channel shuffle over macropixels
    // is the cheapest single pass.
    return Make("ARGBShuffle{1,0,3,2} per macropixel", [](const ImageRef& s, const ImageRef& d) {
      return libyuv::ARGBShuffle(s.plane[0], s.pitch[0], d.plane[0], d.pitch[0], kSwapBytePairs, s.width / 2,
                                 s.height) == 0;
    });
  }
  return {};
}

}  // namespace

LibyuvConversion LibyuvConversionFor(PixelFormat input, PixelFormat output) {
  LibyuvConversion c = Lookup(input, output);
  if (!c.name.empty() && (input == F::YV12 || output == F::YV12)) c.name += " (U,V planes exchanged)";
  return c;
}

}  // namespace pellix::bench
