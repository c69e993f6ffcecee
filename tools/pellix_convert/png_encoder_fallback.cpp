// Builds without libpng write PNG output uncompressed.
#include "tools/pellix_convert/png_writer.h"

namespace pellix::convert {

std::vector<uint8_t> EncodePng(const uint8_t* bgra, int32_t width, int32_t height, uint64_t pitch) {
  return EncodeStoredPng(bgra, width, height, pitch);
}

}  // namespace pellix::convert
