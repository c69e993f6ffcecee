#include "component/format_names.h"

#include <cctype>
#include <cstring>

namespace pellix {

namespace {

struct NamedFormat {
  const char* name;
  PixelFormat format;
};

// Checked in this order; the first match wins.
constexpr NamedFormat kFormatNames[] = {
    {"IYUV", PixelFormat::I420}, {"I420", PixelFormat::I420}, {"YV12", PixelFormat::YV12},
    {"YUY2", PixelFormat::YUY2}, {"UYVY", PixelFormat::UYVY}, {"BGRA", PixelFormat::BGRA},
};

}  // namespace

PixelFormat ParseFormatName(const char* name) {
  if (name == nullptr) return PixelFormat::None;
  for (const NamedFormat& entry : kFormatNames) {
    // strncmp stops at the first NUL, so a short name is never read past its end.
    if (std::strncmp(name, entry.name, 4) == 0) return entry.format;
  }
  return PixelFormat::None;
}

uint32_t FourCCOf(const char* name) {
  uint32_t code = 0;
  if (name == nullptr) return code;
  for (int i = 0; i < 4 && name[i] != '\0'; ++i) {
    const auto upper = static_cast<uint8_t>(std::toupper(static_cast<unsigned char>(name[i])));
    code |= static_cast<uint32_t>(upper) << (8 * i);
  }
  return code;
}

}  // namespace pellix
