#include "gst/format_map.h"

namespace pellix::gst {

GstVideoFormat GstFormatOf(PixelFormat format) { return gst_video_format_from_string(FormatName(format)); }

std::optional<PixelFormat> PluginFormatOf(GstVideoFormat format) {
  if (format == GST_VIDEO_FORMAT_BGRx) return PixelFormat::BGRA;
  for (PixelFormat candidate : kAllFormats) {
    if (GstFormatOf(candidate) == format) return candidate;
  }
  return std::nullopt;
}

const char* PortFormatName(PixelFormat format) { return FormatName(format); }

const std::vector<GstVideoFormat>& ConvertibleFormats() {
  static const std::vector<GstVideoFormat> formats = [] {
    std::vector<GstVideoFormat> list;
    for (PixelFormat format : kAllFormats) list.push_back(GstFormatOf(format));
    list.push_back(GST_VIDEO_FORMAT_BGRx);
    return list;
  }();
  return formats;
}

}  // namespace pellix::gst
