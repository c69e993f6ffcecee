// Where the pixels of a frame lie in files and in the frames handed to the
// plug-in, and which sizes the formats can carry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "formats/pixel_format.h"
#include "host/frame_layout.h"

namespace pellix::convert {

// The format a file name's extension names unambiguously (.i420, .iyuv,
// .yv12, .yuy2, .uyvy, .bgra, any case); nothing for any other name.
std::optional<PixelFormat> FormatFromFileName(std::string_view path);

// Frames in files and pipes: rows packed with the narrowest stride the
// format allows (4:2:2 rows hold whole macropixels, so an odd width is
// rounded up to even), chroma planes of (w/2) x (h/2) right after the luma.
FrameLayout FileLayout(PixelFormat format, int32_t width, int32_t height);

// The stride of every frame handed to the plug-in: the width rounded up to a
// multiple of 16, the same for both sides of a conversion (the YUY2/UYVY
// swap needs equal strides) and a multiple of 4, where the plug-in's source
// and destination rules for the second chroma plane agree.
int32_t PluginStride(int32_t width);

// Empty when frames of the format can hold a width x height image, in files
// and in plug-in frames; otherwise a sentence saying why not.
std::string SizeProblem(PixelFormat format, int32_t width, int32_t height);

// Empty unless the plug-in refuses the conversion itself at this size (BGRA
// to YUY2 or UYVY at an odd width or height); then a sentence saying so.
std::string PairSizeProblem(FormatPair pair, int32_t width, int32_t height);

// True when the two layouts of one format and size place every plane's
// rows alike, so the first packedBytes() of one frame are the other's.
bool SameLayout(const FrameLayout& a, const FrameLayout& b);

// Copies the pixels of one frame between two layouts of the same format and
// size; padding bytes of the destination are left as they are.
void CopyPixels(const uint8_t* src, const FrameLayout& from, uint8_t* dst, const FrameLayout& to);

}  // namespace pellix::convert
