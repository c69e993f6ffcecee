#include "gst/frame_plan.h"

#include <algorithm>

#include "formats/frame_rules.h"
#include "gst/buffer_layout.h"

namespace pellix::gst {
namespace {

// The frame's stride when the plug-in's layout at that stride is exactly the
// frame's own; 0 otherwise.
int32_t InPlaceStride(PixelFormat format, const GstVideoFrame& frame, PlaneRule rule) {
  const int32_t stride = PixelStride(frame);
  if (stride <= 0) return 0;
  const FrameLayout layout =
      LayoutFor(format, GST_VIDEO_FRAME_WIDTH(&frame), GST_VIDEO_FRAME_HEIGHT(&frame), stride, rule);
  return HasLayout(frame, layout) ? stride : 0;
}

}  // namespace

FrameSize PluginFrameSize(PixelFormat input, PixelFormat output, int32_t width, int32_t height) {
  if (!IsPlanar(input) && !IsPlanar(output)) return {width, height};
  return {width + (width & 1), height + (height & 1)};
}

bool StrideFitsCopy(PixelFormat format, int32_t width, int32_t stride) {
  if (stride < TightStride(format, width)) return false;
  if (IsPlanar(format)) return IsPlanarStrideMultiple(stride);
  if (format == PixelFormat::YUY2 || format == PixelFormat::UYVY) return stride % 2 == 0;
  return true;
}

int32_t CopyStride(PixelFormat input, PixelFormat output, int32_t width) {
  const int64_t widest = std::max(TightStride(input, width), TightStride(output, width));
  return static_cast<int32_t>(std::min<int64_t>(RoundUpToPlanarStride(widest), kLargestPlanarStride));
}

FramePlan PlanFrames(PixelFormat inputFormat, const GstVideoFrame& input, PixelFormat outputFormat,
                     const GstVideoFrame& output) {
  const FrameSize size = PluginFrameSize(inputFormat, outputFormat, GST_VIDEO_FRAME_WIDTH(&input),
                                         GST_VIDEO_FRAME_HEIGHT(&input));
  const int32_t width = size.width;
  const int32_t height = size.height;
  FramePlan plan;
  const bool resized = width != GST_VIDEO_FRAME_WIDTH(&input) || height != GST_VIDEO_FRAME_HEIGHT(&input);
  const int32_t inStride = resized ? 0 : InPlaceStride(inputFormat, input, PlaneRule::Source);
  const int32_t outStride = resized ? 0 : InPlaceStride(outputFormat, output, PlaneRule::Destination);

  const bool inUsable = inStride > 0 && (inStride == outStride || StrideFitsCopy(outputFormat, width, inStride));
  const bool outUsable = outStride > 0 && (inStride == outStride || StrideFitsCopy(inputFormat, width, outStride));
  const bool outputLarger = BitsPerPixel(outputFormat) > BitsPerPixel(inputFormat);
  if (inUsable && outUsable && inStride == outStride) {
    plan.stride = inStride;
    plan.wrapInput = plan.wrapOutput = true;
  } else if (outUsable && (outputLarger || !inUsable)) {
    plan.stride = outStride;
    plan.wrapOutput = true;
  } else if (inUsable) {
    plan.stride = inStride;
    plan.wrapInput = true;
  } else {
    plan.stride = CopyStride(inputFormat, outputFormat, width);
  }
  plan.input = LayoutFor(inputFormat, width, height, plan.stride, PlaneRule::Source);
  plan.output = LayoutFor(outputFormat, width, height, plan.stride, PlaneRule::Destination);
  return plan;
}

}  // namespace pellix::gst
