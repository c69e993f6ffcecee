// PNG images of BGRA frames: through libpng where the build has it
// (png_encoder_libpng.cpp), else with uncompressed deflate blocks
// (png_encoder_stored.cpp through png_encoder_fallback.cpp; the same pixels
// in a larger file).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pellix::convert {

// An 8-bit RGB PNG of a width x height BGRA image whose rows are `pitch`
// bytes apart (alpha is dropped: the plug-in always writes 255).
std::vector<uint8_t> EncodePng(const uint8_t* bgra, int32_t width, int32_t height, uint64_t pitch);

// The same image with stored (uncompressed) deflate blocks, no library needed.
std::vector<uint8_t> EncodeStoredPng(const uint8_t* bgra, int32_t width, int32_t height, uint64_t pitch);

// The RGB rows (3 bytes a pixel, no padding) of a BGRA image.
std::vector<uint8_t> RgbFromBgra(const uint8_t* bgra, int32_t width, int32_t height, uint64_t pitch);

// Encodes and writes to `path` through an OutputFile.
void WritePng(const std::string& path, bool overwrite, const uint8_t* bgra, int32_t width, int32_t height,
              uint64_t pitch);

// "out.png", 7 -> "out-000007.png": the name of one frame when every frame
// is written.
std::string NumberedName(const std::string& path, uint64_t frame);

}  // namespace pellix::convert
