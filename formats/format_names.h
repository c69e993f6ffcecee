// Every name of the five pixel formats, kept in one table (format_names.cpp)
// and read under three rules:
//   - port names, as a host names a format when it creates a port: the first
//     four characters, case-sensitive ("I420", "IYUV", "YV12", "YUY2",
//     "UYVY", "BGRA");
//   - command-line names: a whole word in any case, a port name or FFmpeg's
//     pix_fmt name (yuv420p, yuyv422, uyvy422, bgra; FFmpeg has no YV12);
//   - file extensions: the four-letter port names in any case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "formats/pixel_format.h"

namespace pellix {

// The format a port name stands for: the first four characters of `name`
// compared case-sensitively; characters after the fourth are not looked at
// and nothing past an earlier terminating NUL is read. PixelFormat::None
// for a null name, a shorter one, or no match.
PixelFormat FormatFromPortName(const char* name);

// The format a command line names: the whole of `name`, any case, a port
// name or an FFmpeg pix_fmt name.
std::optional<PixelFormat> FormatFromCommandLineName(std::string_view name);

// The format a file extension (without its dot) names unambiguously: a
// four-letter port name, any case. ".yuv" and ".rgb" name none.
std::optional<PixelFormat> FormatFromExtension(std::string_view extension);

// FFmpeg's pix_fmt name for the format; null where FFmpeg has none.
const char* FfmpegPixelFormatName(PixelFormat format);

// Every command-line name, comma-separated, port names first ("I420, IYUV,
// ..., yuv420p, ..."), for messages and help.
std::string CommandLineFormatNames();

}  // namespace pellix
