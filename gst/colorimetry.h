// What the element says about colour in its caps. The plug-in converts
// between YUV and RGB with the BT.601 matrix, YUV in video range (16-235) and
// RGB in full range; repacking between YUV formats leaves samples as they
// are; it changes neither transfer function nor primaries. So the produced
// caps state range and matrix where the colour model changes, carry over
// what the input stated otherwise, and claim nothing more. Caps that mean
// another matrix or range where the model changes (GStreamer reads YUV caps
// of more than 576 lines without colorimetry as BT.709) are refused, never
// converted as BT.601.
#pragma once

#include <gst/gst.h>
#include <gst/video/video.h>

#include <optional>
#include <string>

namespace pellix::gst {

// The colorimetry text the output caps carry for a conversion from `input`
// (the fixed input caps structure) to `outputFormat`; empty when the output
// should carry none, because the input carries none and the colour model
// stays.
std::string ProducedColorimetry(const GstStructure& input, GstVideoFormat outputFormat);

// The colorimetry of YUV converted from RGB caps `rgb` (fixed or not): BT.601
// video range, transfer and primaries as `rgb` states them.
std::string ConvertedYuvColorimetry(const GstStructure& rgb);

// Why a conversion between these negotiated caps (structures and what
// GStreamer reads from them) would not be what the caps mean, or nothing.
std::optional<std::string> ColorimetryRefusal(const GstStructure& inCaps, const GstVideoInfo& in,
                                              const GstStructure& outCaps, const GstVideoInfo& out);

// Why YUV input of these caps cannot be converted to RGB as the caps mean, or
// nothing (also nothing for RGB input).
std::optional<std::string> InputColorimetryRefusal(const GstStructure& caps, const GstVideoInfo& info);

// A colorimetry as a reader knows it: GStreamer's name ("bt709") when it has
// one, otherwise matrix and range spelt out.
std::string ReadableColorimetry(const GstVideoColorimetry& colorimetry);

}  // namespace pellix::gst
