// Which host frames one conversion uses: the plug-in works in a GStreamer
// buffer directly where the buffer has the plug-in's layout, and in a copy
// where it has not. Both frames of a conversion share one stride, as in
// every host of the plug-in: its repacking pairs refuse frames of different
// strides, and a 4:2:2 source converts whole macropixels of its stride into
// the destination's rows.
#pragma once

#include <gst/video/video.h>

#include <cstdint>

#include "host/frame_layout.h"

namespace pellix::gst {

struct FrameSize {
  int32_t width = 0;
  int32_t height = 0;
};

// The size of the plug-in's frames for GStreamer frames of this size. A
// 4:2:0 GStreamer frame of odd width or height holds ceil(w/2) x ceil(h/2)
// chroma samples, which is what the plug-in's frame one pixel wider or
// taller holds; so a conversion with a 4:2:0 side runs at the even size, its
// source's last column or row repeated, and its result is cropped back.
FrameSize PluginFrameSize(PixelFormat input, PixelFormat output, int32_t width, int32_t height);

struct FramePlan {
  int32_t stride = 0;      // pixels, of both frames
  bool wrapInput = false;  // the plug-in reads the input buffer itself
  bool wrapOutput = false; // the plug-in writes the output buffer itself
  FrameLayout input;       // the source frame (PlaneRule::Source)
  FrameLayout output;      // the destination frame (PlaneRule::Destination)
};

// A stride at which a copy of a frame of this format and width keeps the
// plug-in's layout sound: it holds the row (whole macropixels for 4:2:2), and
// for the planar formats it is a multiple of 4, where the plug-in's source
// and destination rules for the second chroma plane agree and the planes of
// a source frame cannot overlap.
bool StrideFitsCopy(PixelFormat format, int32_t width, int32_t stride);

// The stride of two copies, when neither buffer can be used in place: the
// smallest that fits both formats.
int32_t CopyStride(PixelFormat input, PixelFormat output, int32_t width);

// The plan for one pair of mapped frames of the negotiated size, preferring
// to work in place in the larger of the two buffers when only one can be.
// Frames of a larger plug-in size than GStreamer's are always copies.
FramePlan PlanFrames(PixelFormat inputFormat, const GstVideoFrame& input, PixelFormat outputFormat,
                     const GstVideoFrame& output);

}  // namespace pellix::gst
