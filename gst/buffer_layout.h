// GStreamer's frames beside the plug-in's. A mapped GstVideoFrame places its
// planes by GstVideoInfo (or a GstVideoMeta) while the plug-in places them by
// its own rules (host/frame_layout.h); for example GStreamer rounds an I420
// luma stride up to 4 and its chroma stride to 4 separately, so a 642-wide
// frame has chroma rows of 324 bytes where the plug-in expects 322. These
// functions say whether a mapped frame already has the plug-in's layout, and
// copy rows between the two layouts when it has not.
#pragma once

#include <gst/video/video.h>

#include <cstdint>

#include "host/band_conversion.h"
#include "host/frame_layout.h"

namespace pellix::gst {

// The row pitch of the frame's first plane in pixels, the plug-in's unit of
// stride; 0 when it is not a whole number of pixels.
int32_t PixelStride(const GstVideoFrame& frame);

// True when `layout` describes the frame's memory exactly: every plane at the
// layout's offset from the first with the layout's pitch, and the whole
// layout inside one mapped block, so the plug-in may work in the buffer
// itself.
bool HasLayout(const GstVideoFrame& frame, const FrameLayout& layout);

// Row-by-row copies of the pixels (each plane's rows x rowBytes of `layout`)
// between a mapped frame and memory laid out as `layout` says. GStreamer's
// planes hold ceil(w/2) chroma samples per row where the plug-in holds w/2,
// and 4:2:2 rows of whole macropixels in both. A layout one pixel wider or
// taller than the frame (see PluginFrameSize) is filled by repeating the
// frame's last column and row, and only the frame's pixels are copied out.
// The plug-in's planes (Y, U, V; the one plane of a packed format) of a
// mapped frame of `format`, for a host that copies rows itself.
SourcePlanes SourcePlanesOf(const GstVideoFrame& frame, PixelFormat format);
DestinationPlanes DestinationPlanesOf(GstVideoFrame& frame, PixelFormat format);

void CopyIntoLayout(const GstVideoFrame& from, const FrameLayout& layout, uint8_t* to);
void CopyOutOfLayout(const uint8_t* from, const FrameLayout& layout, GstVideoFrame& to);

}  // namespace pellix::gst
