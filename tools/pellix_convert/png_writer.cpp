#include "tools/pellix_convert/png_writer.h"

#include <cstdio>

#include "tools/pellix_convert/output_file.h"

namespace pellix::convert {

std::vector<uint8_t> RgbFromBgra(const uint8_t* bgra, int32_t width, int32_t height, uint64_t pitch) {
  const uint64_t rgbPitch = 3 * static_cast<uint64_t>(width);
  std::vector<uint8_t> rgb(rgbPitch * static_cast<uint64_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* from = bgra + static_cast<uint64_t>(y) * pitch;
    uint8_t* to = rgb.data() + static_cast<uint64_t>(y) * rgbPitch;
    for (int32_t x = 0; x < width; ++x) {
      to[3 * x + 0] = from[4 * x + 2];
      to[3 * x + 1] = from[4 * x + 1];
      to[3 * x + 2] = from[4 * x + 0];
    }
  }
  return rgb;
}

void WritePng(const std::string& path, bool overwrite, const uint8_t* bgra, int32_t width, int32_t height,
              uint64_t pitch) {
  const std::vector<uint8_t> png = EncodePng(bgra, width, height, pitch);
  OutputFile file(path, overwrite);
  file.write(png.data(), png.size());
  file.commit();
}

std::string NumberedName(const std::string& path, uint64_t frame) {
  char number[32];
  std::snprintf(number, sizeof number, "-%06llu", static_cast<unsigned long long>(frame));
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  if (!hasExtension) return path + number + ".png";
  return path.substr(0, dot) + number + path.substr(dot);
}

}  // namespace pellix::convert
