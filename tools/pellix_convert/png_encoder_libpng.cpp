// PNG encoding through libpng.
#include <png.h>

#include <cstdio>
#include <new>

#include "tools/pellix_convert/png_writer.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

// libpng reports errors by longjmp; the C++ objects live outside the
// function that calls setjmp, so no destructor is skipped.
struct EncodeState {
  std::vector<uint8_t>* out;
  bool outOfMemory;
  char message[200];
};

void AppendBytes(png_structp png, png_bytep data, png_size_t size) {
  auto* state = static_cast<EncodeState*>(png_get_io_ptr(png));
  try {
    state->out->insert(state->out->end(), data, data + size);
  } catch (const std::bad_alloc&) {
    state->outOfMemory = true;
    png_error(png, "out of memory");
  }
}

void Flush(png_structp) {}

void RecordError(png_structp png, png_const_charp message) {
  auto* state = static_cast<EncodeState*>(png_get_error_ptr(png));
  std::snprintf(state->message, sizeof state->message, "%s", message);
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Returns false with state->message set when libpng fails.
bool Encode(EncodeState* state, png_bytepp rows, int32_t width, int32_t height) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state, RecordError, IgnoreWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, state, AppendBytes, Flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 6);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodePng(const uint8_t* bgra, int32_t width, int32_t height, uint64_t pitch) {
  const uint64_t rgbPitch = 3 * static_cast<uint64_t>(width);
  std::vector<uint8_t> rgb = RgbFromBgra(bgra, width, height, pitch);
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) rows[static_cast<size_t>(y)] = rgb.data() + static_cast<uint64_t>(y) * rgbPitch;
  std::vector<uint8_t> out;
  EncodeState state{&out, false, "libpng could not start"};
  if (!Encode(&state, rows.data(), width, height)) {
    if (state.outOfMemory) throw std::bad_alloc();
    throw ToolError(std::string("cannot encode PNG: ") + state.message);
  }
  return out;
}

}  // namespace pellix::convert
