extern "C" {
#include <libavutil/pixdesc.h>
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

#include "bench/peers.h"

namespace pellix::bench {
namespace {

// libswscale has no YV12 of its own: YV12 is YUV420P with the chroma plane
// pointers exchanged, which ImageRef already does.
AVPixelFormat SwscaleFormat(PixelFormat f) {
  switch (f) {
    case PixelFormat::I420:
    case PixelFormat::YV12:
      return AV_PIX_FMT_YUV420P;
    case PixelFormat::YUY2:
      return AV_PIX_FMT_YUYV422;
    case PixelFormat::UYVY:
      return AV_PIX_FMT_UYVY422;
    case PixelFormat::BGRA:
      return AV_PIX_FMT_BGRA;
    default:
      return AV_PIX_FMT_NONE;
  }
}

bool IsYuv(PixelFormat f) { return f != PixelFormat::BGRA; }

}  // namespace

SwscaleConversion::SwscaleConversion(PixelFormat input, PixelFormat output, int width, int height) : height_(height) {
  const AVPixelFormat from = SwscaleFormat(input);
  const AVPixelFormat to = SwscaleFormat(output);
  if (from == AV_PIX_FMT_NONE || to == AV_PIX_FMT_NONE) return;
  // Same size in and out, so libswscale takes its unscaled converters where
  // it has them; bilinear only matters for the chroma resampling of
  // RGB-to-YUV, where it averages neighbours as our routines do.
  context_ = sws_getContext(width, height, from, width, height, to, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!context_) return;
  // BT.601 both ways; YUV in video range (0), RGB full range (1).
  const int* bt601 = sws_getCoefficients(SWS_CS_ITU601);
  const int srcRange = IsYuv(input) ? 0 : 1;
  const int dstRange = IsYuv(output) ? 0 : 1;
  if (sws_setColorspaceDetails(context_, bt601, srcRange, bt601, dstRange, 0, 1 << 16, 1 << 16) < 0) {
    sws_freeContext(context_);
    context_ = nullptr;
    return;
  }
  name_ = std::string("sws_scale ") + av_get_pix_fmt_name(from) + "->" + av_get_pix_fmt_name(to);
}

SwscaleConversion::~SwscaleConversion() { sws_freeContext(context_); }

// libswscale reads four plane pointers and pitches whatever the format.
bool SwscaleConversion::run(const ImageRef& src, const ImageRef& dst) const {
  const uint8_t* const srcPlanes[4] = {src.plane[0], src.plane[1], src.plane[2], nullptr};
  const int srcPitches[4] = {src.pitch[0], src.pitch[1], src.pitch[2], 0};
  uint8_t* const dstPlanes[4] = {dst.plane[0], dst.plane[1], dst.plane[2], nullptr};
  const int dstPitches[4] = {dst.pitch[0], dst.pitch[1], dst.pitch[2], 0};
  return sws_scale(context_, srcPlanes, srcPitches, 0, height_, dstPlanes, dstPitches) == height_;
}

}  // namespace pellix::bench
