#include "formats/format_names.h"

#include <strings.h>

#include <cstring>

namespace pellix {
namespace {

// The one table of names. Port names are four characters and all differ in
// those four, so the order in which the plug-in compares them ("IYUV"
// before "I420", ...) decides nothing.
struct FormatNames {
  PixelFormat format;
  const char* portNames[2];  // the FormatName first; the second may be null
  const char* ffmpegName;    // null where FFmpeg has none
};

constexpr FormatNames kNames[] = {
    {PixelFormat::I420, {"I420", "IYUV"}, "yuv420p"},
    {PixelFormat::YV12, {"YV12", nullptr}, nullptr},
    {PixelFormat::YUY2, {"YUY2", nullptr}, "yuyv422"},
    {PixelFormat::UYVY, {"UYVY", nullptr}, "uyvy422"},
    {PixelFormat::BGRA, {"BGRA", nullptr}, "bgra"},
};

constexpr size_t kPortNameLength = 4;

constexpr bool SameText(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) ++a, ++b;
  return *a == *b;
}

// The table's first port name of each format is the format's own name.
constexpr bool FirstNamesAreFormatNames() {
  for (const FormatNames& entry : kNames) {
    if (!SameText(entry.portNames[0], FormatName(entry.format))) return false;
  }
  return sizeof(kNames) / sizeof(kNames[0]) == sizeof(kAllFormats) / sizeof(kAllFormats[0]);
}
static_assert(FirstNamesAreFormatNames(), "one entry per format, led by its FormatName");

bool SameWordAnyCase(std::string_view word, const char* name) {
  return name != nullptr && word.size() == std::strlen(name) && strncasecmp(word.data(), name, word.size()) == 0;
}

}  // namespace

PixelFormat FormatFromPortName(const char* name) {
  if (name == nullptr) return PixelFormat::None;
  for (const FormatNames& entry : kNames) {
    for (const char* portName : entry.portNames) {
      // strncmp stops at the first NUL, so a short name is never read past its end.
      if (portName != nullptr && std::strncmp(name, portName, kPortNameLength) == 0) return entry.format;
    }
  }
  return PixelFormat::None;
}

std::optional<PixelFormat> FormatFromCommandLineName(std::string_view name) {
  for (const FormatNames& entry : kNames) {
    for (const char* portName : entry.portNames) {
      if (SameWordAnyCase(name, portName)) return entry.format;
    }
    if (SameWordAnyCase(name, entry.ffmpegName)) return entry.format;
  }
  return std::nullopt;
}

std::optional<PixelFormat> FormatFromExtension(std::string_view extension) {
  for (const FormatNames& entry : kNames) {
    for (const char* portName : entry.portNames) {
      if (SameWordAnyCase(extension, portName)) return entry.format;
    }
  }
  return std::nullopt;
}

const char* FfmpegPixelFormatName(PixelFormat format) {
  for (const FormatNames& entry : kNames) {
    if (entry.format == format) return entry.ffmpegName;
  }
  return nullptr;
}

std::string CommandLineFormatNames() {
  std::string names;
  auto add = [&names](const char* name) {
    if (name == nullptr) return;
    if (!names.empty()) names += ", ";
    names += name;
  };
  for (const FormatNames& entry : kNames) {
    for (const char* portName : entry.portNames) add(portName);
  }
  for (const FormatNames& entry : kNames) add(entry.ffmpegName);
  return names;
}

}  // namespace pellix
