// The one place where the element relates GStreamer's video formats to the
// plug-in's pixel formats and port format names. GStreamer names the five
// formats exactly as the plug-in does and lays out their pixels the same way
// (I420: Y, U, V planes; YV12: Y, V, U; YUY2: Y U Y V; UYVY: U Y V Y; BGRA:
// B G R A), so every mapping here is derived from the plug-in's names.
// BGRx is BGRA to the plug-in: its BGRA output carries alpha 255 and its
// BGRA input never reads byte 3, so the bytes are the same either way.
#pragma once

#include <gst/video/video.h>

#include <optional>
#include <vector>

#include "formats/pixel_format.h"

namespace pellix::gst {

// The plug-in's format for a GStreamer format (BGRA for BGRx), or nothing for
// the formats the plug-in does not convert.
std::optional<PixelFormat> PluginFormatOf(GstVideoFormat format);

// The GStreamer format of one of the plug-in's formats.
GstVideoFormat GstFormatOf(PixelFormat format);

// The name a port of the plug-in is created with for this format.
const char* PortFormatName(PixelFormat format);

// The GStreamer formats the element offers: the plug-in's, in its order,
// then BGRx.
const std::vector<GstVideoFormat>& ConvertibleFormats();

}  // namespace pellix::gst
