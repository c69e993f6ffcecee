// Frame sizes and frame rates as a command line spells them, FFmpeg's way:
// "640x480" or a size name ("hd720", "vga", "cif", ...), and "25", "30000/1001",
// "29.97" or a rate name ("ntsc", "pal", "film", ...).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pellix::convert {

struct FrameSize {
  int32_t width = 0;
  int32_t height = 0;
};

// A decimal number of digits only (no sign, no blanks, at most 18 digits)
// within [low, high]; nothing otherwise.
std::optional<int64_t> ParseDecimal(const std::string& text, int64_t low, int64_t high);

// WIDTHxHEIGHT (x or X) with two positive decimal numbers that fit in 32
// bits, or one of FFmpeg's size names (any case). Throws a usage ToolError
// for anything else.
FrameSize ParseFrameSize(const std::string& text);

// FFmpeg's size names, in FFmpeg's order, with their sizes.
std::vector<std::pair<std::string, FrameSize>> FrameSizeNames();

// A positive frame rate as a reduced YUV4MPEG2 ratio "N:D" (both below
// 2^31): from an integer, N/D or N:D, a decimal number (29.97 is
// 2997:100, as FFmpeg reads it) or one of FFmpeg's rate names. Throws a
// usage ToolError for anything else.
std::string ParseFrameRate(const std::string& text);

}  // namespace pellix::convert
