// What the element says about colour in its caps. The plug-in converts
// between YUV and RGB with the BT.601 matrix, YUV in video range (16-235) and
// RGB in full range; repacking between YUV formats leaves samples as they
// are; it changes neither transfer function nor primaries. So the produced
// caps state range and matrix where the colour model changes, carry over
// what the input stated otherwise, and claim nothing more.
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

// Why output caps that state a colorimetry cannot be produced from this
// input: they ask for another range or matrix than the conversion gives.
std::optional<std::string> ColorimetryConflict(const GstStructure& input, const GstStructure& output);

// A note for the user when the input states a colorimetry the conversion
// does not read it by (for example BT.709 YUV converted to RGB as BT.601).
std::optional<std::string> InputColorimetryNote(const GstStructure& input, GstVideoFormat outputFormat);

}  // namespace pellix::gst
