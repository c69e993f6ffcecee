// Caps negotiation of the element: which caps it offers on one pad for caps
// on the other, how it fixes the output caps, and which negotiated sizes it
// refuses. The element converts formats only: size, frame rate, pixel aspect
// ratio and interlacing pass through unchanged.
#pragma once

#include <gst/gst.h>
#include <gst/video/video.h>

#include <optional>
#include <string>

#include "gst/format_map.h"

namespace pellix::gst {

// The caps of both pad templates: raw video in the five convertible formats,
// any size and frame rate.
GstCaps* TemplateCaps();

// For caps on one pad (`direction` says which), the caps the other pad can
// have: the same caps first (so that pass-through is preferred), then the
// same streams in every format they convert to. YUV repacked from YUV keeps
// its colorimetry; YUV on the other side of RGB is offered first with the
// BT.601 video-range colorimetry the conversion gives, then open, so that
// other caps reach set-up and are refused there with the reason. Formats a
// fixed size or BGRx rules out are not offered. Intersected with `filter`
// when given.
GstCaps* ConvertibleCaps(GstCaps* caps, GstPadDirection direction, GstCaps* filter);

// The choices that decide a refusal which `caps` (what the sink pad accepts
// of upstream's caps) leave upstream: one structure for each format and each
// colorimetry a structure allows, its other fields as they are. Null when a
// structure leaves the width, height or interlacing open: a size upstream
// has not chosen yet cannot be judged before it chooses.
GstCaps* RefusalChoices(GstCaps* caps);

// How far apart two formats are, for choosing the closest: a change of colour
// model (a matrix and its rounding) weighs most, then chroma resolution lost
// or invented, then a change between planar and packed. 0 for the same
// format's nearest neighbour (I420 and YV12, YUY2 and UYVY).
int FormatDistance(GstVideoFormat from, GstVideoFormat to);

// Fixes `offered` (taken over) for the fixed `input` caps: the input format
// when it is offered (pass-through), otherwise the closest offered format,
// with the colorimetry the conversion produces; size, frame rate and aspect
// ratio as the input's where the offer leaves a choice.
GstCaps* FixateOutput(GstCaps* input, GstCaps* offered);

// Why the plug-in cannot convert a frame of this size between these formats,
// or nothing: BGRA of an odd size has no YUY2 or UYVY frame, and a frame
// (odd 4:2:0 sizes made even, see ConversionFormats) must fit the 32-bit
// size of the plug-in's frames.
std::optional<std::string> SizeRefusal(PixelFormat input, PixelFormat output, int32_t width, int32_t height);

}  // namespace pellix::gst
