#include "conversion_model.h"

#include <algorithm>
#include <array>
#include <map>
#include <sstream>
#include <stdexcept>

#include "colorconv/plain/plain_routines.h"
#include "colorconv/routines.h"
#include "formats/packed422_order.h"
#include "converter_test_support.h"

namespace pellix {
namespace testing_support {
namespace {

using Pixel = std::array<uint8_t, 4>;

// Reads source bytes and remembers the furthest one.
class SourceReader {
 public:
  explicit SourceReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  uint8_t At(int64_t offset) {
    if (offset < 0 || offset >= static_cast<int64_t>(bytes_.size())) throw std::out_of_range("source model");
    end_ = std::max(end_, offset + 1);
    return bytes_[static_cast<size_t>(offset)];
  }
  Pixel PixelAt(int64_t offset) { return {At(offset), At(offset + 1), At(offset + 2), At(offset + 3)}; }
  int64_t end() const { return end_; }

 private:
  const std::vector<uint8_t>& bytes_;
  int64_t end_ = 0;
};

class DestinationWriter {
 public:
  explicit DestinationWriter(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  void Put(int64_t offset, uint8_t value) {
    if (offset < 0 || offset >= static_cast<int64_t>(bytes_.size())) throw std::out_of_range("destination model");
    end_ = std::max(end_, offset + 1);
    bytes_[static_cast<size_t>(offset)] = value;
  }
  void PutAll(int64_t offset, const Pixel& values) {
    for (int i = 0; i < 4; ++i) Put(offset + i, values[i]);
  }
  std::vector<uint8_t>& bytes() { return bytes_; }
  int64_t end() const { return end_; }

 private:
  std::vector<uint8_t> bytes_;
  int64_t end_ = 0;
};

// Per-pixel arithmetic of the active routines, each driven on one block.
Pixel PlanarToBgraPixel(uint8_t y, uint8_t u, uint8_t v) {
  static std::map<uint32_t, Pixel> cache;
  const uint32_t key = (uint32_t{y} << 16) | (uint32_t{u} << 8) | v;
  auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  const uint8_t luma[4] = {y, y, y, y};
  uint8_t out[16] = {};
  ActiveConversionRoutines().planar420ToBGRA(luma, 2, &u, &v, 1, out, 2, 2, 2, &ProcessColorAdjustment(), 0);
  return cache[key] = Pixel{out[0], out[1], out[2], out[3]};
}

Pixel PackedToBgraPixel(PixelFormat format, uint8_t y, uint8_t u, uint8_t v) {
  const Packed422Order o = Packed422OrderOf(format);
  uint8_t in[4];
  in[o.luma0] = y, in[o.u] = u, in[o.luma1] = y, in[o.v] = v;
  uint8_t out[8] = {};
  const auto& slots = ActiveConversionRoutines();
  (format == PixelFormat::YUY2 ? slots.yuy2ToBGRA : slots.uyvyToBGRA)(in, 2, out, 2, 1, 2);
  return {out[0], out[1], out[2], out[3]};
}

Pixel BgraPairToPacked(PixelFormat format, const Pixel& p0, const Pixel& p1) {
  uint8_t in[8];
  std::copy(p0.begin(), p0.end(), in);
  std::copy(p1.begin(), p1.end(), in + 4);
  uint8_t out[4] = {};
  const auto& slots = ActiveConversionRoutines();
  (format == PixelFormat::YUY2 ? slots.bgraToYUY2 : slots.bgraToUYVY)(in, 2, out, 2, 1, 2);
  return {out[0], out[1], out[2], out[3]};
}

// Y of each of the four pixels and U, V of a 2x2 BGRA block.
struct BlockYuv {
  uint8_t y[4];
  uint8_t u, v;
};
BlockYuv BgraBlockToPlanar(const Pixel& a, const Pixel& b, const Pixel& c, const Pixel& d) {
  uint8_t in[16];
  std::copy(a.begin(), a.end(), in);
  std::copy(b.begin(), b.end(), in + 4);
  std::copy(c.begin(), c.end(), in + 8);
  std::copy(d.begin(), d.end(), in + 12);
  BlockYuv out{};
  ActiveConversionRoutines().bgraToPlanar420(2, 2, in, 8, out.y, &out.u, &out.v, 2, 0, 0);
  return out;
}

uint8_t BgraLuma(const Pixel& p) { return BgraBlockToPlanar(p, p, p, p).y[0]; }

bool ExpectConverts(const Scenario& s) {
  const bool planarSide = IsPlanar(s.input) || IsPlanar(s.output);
  if (planarSide && (s.width < 2 || s.height < 2)) return false;
  const bool odd = s.width % 2 != 0 || s.height % 2 != 0;
  if (s.input == PixelFormat::BGRA && IsPacked422(s.output) && odd) return false;
  // The plain BGRAToPlanar420 converts even sizes only.
  if (s.input == PixelFormat::BGRA && IsPlanar(s.output) && odd &&
      ActiveConversionRoutines().bgraToPlanar420 == &BGRAToPlanar420) {
    return false;
  }
  return true;
}

int64_t PixelBytes(PixelFormat format) { return format == PixelFormat::BGRA ? 4 : IsPacked422(format) ? 2 : 1; }

}  // namespace

int32_t MinimumStride(PixelFormat format, int32_t width) {
  return IsPacked422(format) ? width + (width & 1) : width;
}

PlanarLayout SourcePlanarLayout(int64_t height, int64_t stride) {
  const ChromaPlanes planes = SourceChromaPlanes(height, stride);
  return {stride, planes.first, planes.second, ChromaRowRule::HalvedStride};
}

PlanarLayout DestinationPlanarLayout(PixelFormat source, int64_t height, int64_t stride) {
  const ChromaPlanes planes = DestinationChromaPlanes(height, stride);
  return {stride, planes.first, planes.second, DestinationChromaRowRule(source)};
}

std::string Scenario::Describe() const {
  std::ostringstream text;
  text << FormatName(input) << "->" << FormatName(output) << " " << width << "x" << height << " strides "
       << sourceStride << "/" << destinationStride << (interlaced ? " interlaced" : "");
  return text.str();
}

Scenario MakeScenario(PixelFormat input, PixelFormat output, int32_t width, int32_t height, int32_t sourceExtra,
                      int32_t destinationExtra, uint8_t interlaced) {
  Scenario s{input, output, width, height, MinimumStride(input, width) + sourceExtra,
             MinimumStride(output, width) + destinationExtra, interlaced};
  if (IsPacked422(input) && IsPacked422(output)) s.destinationStride = s.sourceStride;
  if (IsPacked422(input) && output == PixelFormat::BGRA) {
    s.destinationStride = std::max(s.destinationStride, 2 * (s.sourceStride / 2));
  }
  if (input == PixelFormat::BGRA && IsPacked422(output)) {
    s.sourceStride = std::max(s.sourceStride, 2 * (s.destinationStride / 2));
  }
  return s;
}

static size_t FrameSize(PixelFormat format, int64_t height, int64_t stride, const PlanarLayout& layout) {
  if (!IsPlanar(format)) return static_cast<size_t>(height * stride * PixelBytes(format));
  return static_cast<size_t>(layout.second + layout.ChromaRow(height / 2));
}

size_t SourceSize(const Scenario& s) {
  return FrameSize(s.input, s.height, s.sourceStride, SourcePlanarLayout(s.height, s.sourceStride));
}

size_t DestinationSize(const Scenario& s) {
  return FrameSize(s.output, s.height, s.destinationStride,
                   DestinationPlanarLayout(s.input, s.height, s.destinationStride));
}

std::vector<uint8_t> SourceContent(const Scenario& s, uint32_t seed) {
  std::vector<uint8_t> bytes = Pattern(SourceSize(s), seed);
  if (IsPacked422(s.input)) {
    const Packed422Order o = Packed422OrderOf(s.input);
    const size_t pitch = 2 * static_cast<size_t>(s.sourceStride);
    for (size_t row = 1; row < static_cast<size_t>(s.height); row += 2) {
      for (size_t i = 0; i + 4 <= pitch; i += 4) {
        bytes[row * pitch + i + o.u] = bytes[(row - 1) * pitch + i + o.u];
        bytes[row * pitch + i + o.v] = bytes[(row - 1) * pitch + i + o.v];
      }
    }
  }
  return bytes;
}

Expectation Expect(const Scenario& s, const std::vector<uint8_t>& source, const std::vector<uint8_t>& prefill) {
  Expectation result{ExpectConverts(s), prefill, 0, 0};
  if (!result.converts) return result;
  SourceReader in(source);
  DestinationWriter out(prefill);
  const int64_t w = s.width, h = s.height, ss = s.sourceStride, ds = s.destinationStride;
  const PlanarLayout from = SourcePlanarLayout(h, ss);
  const PlanarLayout to = DestinationPlanarLayout(s.input, h, ds);
  // Offsets of chroma sample (m, j) of a planar frame's U and V planes.
  auto uOffset = [](PixelFormat f, const PlanarLayout& l, int64_t m, int64_t j) {
    return (f == PixelFormat::I420 ? l.first : l.second) + l.ChromaRow(m) + j;
  };
  auto vOffset = [](PixelFormat f, const PlanarLayout& l, int64_t m, int64_t j) {
    return (f == PixelFormat::I420 ? l.second : l.first) + l.ChromaRow(m) + j;
  };

  if (IsPlanar(s.input)) {
    if (IsPlanar(s.output)) {
      for (int64_t r = 0; r < h; ++r)
        for (int64_t x = 0; x < w; ++x) out.Put(r * ds + x, in.At(r * ss + x));
      for (int64_t m = 0; m < h / 2; ++m) {
        for (int64_t j = 0; j < w / 2; ++j) {
          out.Put(to.first + to.ChromaRow(m) + j, in.At(from.second + from.ChromaRow(m) + j));
        }
        for (int64_t j = 0; j < w / 2; ++j) {
          out.Put(to.second + to.ChromaRow(m) + j, in.At(from.first + from.ChromaRow(m) + j));
        }
      }
    } else {
      for (int64_t r = 0; r < h; ++r) {
        const int64_t m = ChromaRowForLumaRow(static_cast<int32_t>(r), s.height, s.interlaced);
        for (int64_t x = 0; x < w + (IsPacked422(s.output) ? (w & 1) : 0); ++x) {
          const int64_t inside = std::min(x, w - 1);
          const int64_t j = ChromaColumnForPixel(static_cast<int32_t>(inside), s.width);
          const uint8_t y = in.At(r * ss + inside);
          const uint8_t u = in.At(uOffset(s.input, from, m, j));
          const uint8_t v = in.At(vOffset(s.input, from, m, j));
          if (s.output == PixelFormat::BGRA) {
            out.PutAll(r * 4 * ds + 4 * x, PlanarToBgraPixel(y, u, v));
          } else {
            const Packed422Order o = Packed422OrderOf(s.output);
            const int64_t group = r * 2 * ds + 4 * (x / 2);
            out.Put(group + (x % 2 == 0 ? o.luma0 : o.luma1), y);
            out.Put(group + (x % 2 == 0 ? o.u : o.v), x % 2 == 0 ? u : v);
          }
        }
      }
    }
  } else if (IsPacked422(s.input)) {
    const Packed422Order o = Packed422OrderOf(s.input);
    if (s.output == PixelFormat::BGRA) {
      for (int64_t r = 0; r < h; ++r) {
        for (int64_t x = 0; x < 2 * (ss / 2); ++x) {
          const int64_t group = r * 2 * ss + 4 * (x / 2);
          const Pixel p = PackedToBgraPixel(s.input, in.At(group + (x % 2 == 0 ? o.luma0 : o.luma1)),
                                            in.At(group + o.u), in.At(group + o.v));
          out.PutAll(r * 4 * ds + 4 * x, p);
        }
      }
    } else if (IsPacked422(s.output)) {
      const Packed422Order t = Packed422OrderOf(s.output);
      for (int64_t r = 0; r < h; ++r) {
        for (int64_t g = 0; g < ss / 2; ++g) {
          const int64_t at = r * 2 * ss + 4 * g;
          out.Put(at + t.luma0, in.At(at + o.luma0));
          out.Put(at + t.u, in.At(at + o.u));
          out.Put(at + t.luma1, in.At(at + o.luma1));
          out.Put(at + t.v, in.At(at + o.v));
        }
      }
    } else {
      for (int64_t r = 0; r < h; ++r) {
        for (int64_t x = 0; x < w; ++x) {
          out.Put(r * ds + x, in.At(r * 2 * ss + 4 * (x / 2) + (x % 2 == 0 ? o.luma0 : o.luma1)));
        }
        // The last macropixel of an odd row is read whole.
        if (w % 2 != 0) in.At(r * 2 * ss + 4 * (w / 2) + 3);
      }
      for (int64_t m = 0; m < h / 2; ++m) {
        for (int64_t j = 0; j < w / 2; ++j) {
          const int64_t top = 2 * m * 2 * ss + 4 * j;
          const int64_t bottom = top + 2 * ss;
          out.Put(uOffset(s.output, to, m, j), static_cast<uint8_t>((in.At(top + o.u) + in.At(bottom + o.u)) >> 1));
          out.Put(vOffset(s.output, to, m, j), static_cast<uint8_t>((in.At(top + o.v) + in.At(bottom + o.v)) >> 1));
        }
      }
    }
  } else {  // BGRA
    auto pixel = [&](int64_t r, int64_t x) { return in.PixelAt(r * 4 * ss + 4 * x); };
    if (IsPacked422(s.output)) {
      for (int64_t r = 0; r < h; ++r) {
        for (int64_t g = 0; g < ds / 2; ++g) {
          out.PutAll(r * 2 * ds + 4 * g, BgraPairToPacked(s.output, pixel(r, 2 * g), pixel(r, 2 * g + 1)));
        }
      }
    } else {
      for (int64_t r = 0; r < h; ++r)
        for (int64_t x = 0; x < w; ++x) out.Put(r * ds + x, BgraLuma(pixel(r, x)));
      for (int64_t m = 0; m < h / 2; ++m) {
        for (int64_t j = 0; j < w / 2; ++j) {
          const BlockYuv block = BgraBlockToPlanar(pixel(2 * m, 2 * j), pixel(2 * m, 2 * j + 1),
                                                   pixel(2 * m + 1, 2 * j), pixel(2 * m + 1, 2 * j + 1));
          out.Put(uOffset(s.output, to, m, j), block.u);
          out.Put(vOffset(s.output, to, m, j), block.v);
        }
      }
    }
  }
  result.destination = std::move(out.bytes());
  result.readEnd = in.end();
  result.writeEnd = out.end();
  return result;
}

}  // namespace testing_support
}  // namespace pellix
