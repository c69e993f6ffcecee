#include "tools/pellix_convert/format_table.h"

#include <strings.h>

#include <cstring>

namespace pellix::convert {
namespace {

struct FormatAlias {
  const char* name;
  PixelFormat format;
};

constexpr FormatAlias kAliases[] = {
    {"I420", PixelFormat::I420},    {"IYUV", PixelFormat::I420},    {"YV12", PixelFormat::YV12},
    {"YUY2", PixelFormat::YUY2},    {"UYVY", PixelFormat::UYVY},    {"BGRA", PixelFormat::BGRA},
    {"yuv420p", PixelFormat::I420}, {"yuyv422", PixelFormat::YUY2}, {"uyvy422", PixelFormat::UYVY},
    {"bgra", PixelFormat::BGRA},
};

bool SameName(std::string_view a, const char* b) {
  return a.size() == std::strlen(b) && strncasecmp(a.data(), b, a.size()) == 0;
}

// The plug-in computes a frame's byte count as bits per pixel x width x
// height in 32 bits; larger frames cannot be described to it.
constexpr uint64_t kLargestFrameBits = 0xFFFFFFFFull;

}  // namespace

std::optional<PixelFormat> ParseFormatName(std::string_view name) {
  for (const FormatAlias& alias : kAliases) {
    if (SameName(name, alias.name)) return alias.format;
  }
  return std::nullopt;
}

std::string KnownFormatNames() {
  std::string names;
  for (const FormatAlias& alias : kAliases) {
    if (!names.empty()) names += ", ";
    names += alias.name;
  }
  return names;
}

std::optional<PixelFormat> FormatFromFileName(std::string_view path) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::nullopt;
  const std::string_view extension = path.substr(dot + 1);
  for (const FormatAlias& alias : kAliases) {
    // Only our own four-letter names: an extension .bgra is unambiguous, .yuv is not.
    if (std::strlen(alias.name) == 4 && SameName(extension, alias.name)) return alias.format;
  }
  return std::nullopt;
}

FrameLayout FileLayout(PixelFormat format, int32_t width, int32_t height) {
  return LayoutFor(format, width, height, DefaultStride(format, width));
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

void CopyPixels(const uint8_t* src, const FrameLayout& from, uint8_t* dst, const FrameLayout& to) {
  for (int i = 0; i < from.planeCount; ++i) {
    const PlaneLayout& a = from.planes[i];
    const PlaneLayout& b = to.planes[i];
    for (uint64_t row = 0; row < a.rows; ++row) {
      std::memcpy(dst + b.offset + row * b.pitch, src + a.offset + row * a.pitch, a.rowBytes);
    }
  }
}

}  // namespace pellix::convert
