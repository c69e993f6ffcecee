#include "tools/pellix_convert/frame_files.h"

#include <cstring>

#include "formats/format_names.h"
#include "formats/size_rules.h"

namespace pellix::convert {
namespace {

// The plug-in computes a frame's byte count as bits per pixel x width x
// height in 32 bits; larger frames cannot be described to it.
constexpr uint64_t kLargestFrameBits = 0xFFFFFFFFull;

}  // namespace

std::optional<PixelFormat> FormatFromFileName(std::string_view path) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::nullopt;
  return FormatFromExtension(path.substr(dot + 1));
}

FrameLayout FileLayout(PixelFormat format, int32_t width, int32_t height) {
  return LayoutFor(format, width, height, TightStride(format, width));
}

int32_t PluginStride(int32_t width) { return static_cast<int32_t>((static_cast<int64_t>(width) + 15) / 16 * 16); }

std::string SizeProblem(PixelFormat format, int32_t width, int32_t height) {
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  if (width <= 0 || height <= 0) return "size " + size + " has no pixels";
  if (IsPlanar(format) && (width % 2 != 0 || height % 2 != 0)) {
    return std::string(FormatName(format)) + " needs an even width and height, not " + size;
  }
  const uint64_t bits = static_cast<uint64_t>(BitsPerPixel(format)) * static_cast<uint64_t>(PluginStride(width)) *
                        static_cast<uint64_t>(height);
  if (bits > kLargestFrameBits) {
    return "a " + size + " " + FormatName(format) +
           " frame is too large: the plug-in counts a frame's bits in 32 bits (512 MiB at most)";
  }
  return {};
}

std::string PairSizeProblem(FormatPair pair, int32_t width, int32_t height) {
  if (AcceptsSize(pair, width, height)) return {};
  return std::string("the plug-in converts ") + FormatName(pair.from) + " to " + FormatName(pair.to) +
         " only at an even width and height, not " + std::to_string(width) + "x" + std::to_string(height);
}

bool SameLayout(const FrameLayout& a, const FrameLayout& b) {
  if (a.format != b.format || a.width != b.width || a.height != b.height || a.planeCount != b.planeCount) return false;
  // Each plane's rows back to back from the same first byte in both.
  auto packed = [](const PlaneLayout& p) {
    return p.rows == 0 || (p.pitch == p.rowBytes && p.rowOffset(p.rows - 1) == p.rowOffset(0) + (p.rows - 1) * p.rowBytes);
  };
  for (int i = 0; i < a.planeCount; ++i) {
    const PlaneLayout& p = a.planes[i];
    const PlaneLayout& q = b.planes[i];
    if (p.rows != q.rows || p.rowBytes != q.rowBytes || p.rowOffset(0) != q.rowOffset(0) || !packed(p) || !packed(q)) {
      return false;
    }
  }
  return true;
}

void CopyPixels(const uint8_t* src, const FrameLayout& from, uint8_t* dst, const FrameLayout& to) {
  for (int i = 0; i < from.planeCount; ++i) {
    const PlaneLayout& a = from.planes[i];
    const PlaneLayout& b = to.planes[i];
    for (uint64_t row = 0; row < a.rows; ++row) {
      std::memcpy(dst + b.rowOffset(row), src + a.rowOffset(row), a.rowBytes);
    }
  }
}

}  // namespace pellix::convert
