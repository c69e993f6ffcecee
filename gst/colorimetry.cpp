#include "gst/colorimetry.h"

namespace pellix::gst {
namespace {

GstVideoFormat FormatOf(const GstStructure& caps) {
  const char* name = gst_structure_get_string(&caps, "format");
  return name != nullptr ? gst_video_format_from_string(name) : GST_VIDEO_FORMAT_UNKNOWN;
}

bool IsYuv(GstVideoFormat format) { return GST_VIDEO_FORMAT_INFO_IS_YUV(gst_video_format_get_info(format)); }

// The colorimetry the caps state, if they state one that parses.
std::optional<GstVideoColorimetry> Stated(const GstStructure& caps) {
  const char* text = gst_structure_get_string(&caps, "colorimetry");
  GstVideoColorimetry colorimetry;
  if (text == nullptr || !gst_video_colorimetry_from_string(&colorimetry, text)) return std::nullopt;
  return colorimetry;
}

std::string Text(const GstVideoColorimetry& colorimetry) {
  gchar* text = gst_video_colorimetry_to_string(&colorimetry);
  std::string result = text != nullptr ? text : "";
  g_free(text);
  return result;
}

// Range and matrix the plug-in writes for this output model, transfer and
// primaries as the input stated them (unknown when it stated none).
std::optional<GstVideoColorimetry> Produced(const GstStructure& input, GstVideoFormat outputFormat) {
  const std::optional<GstVideoColorimetry> stated = Stated(input);
  if (IsYuv(FormatOf(input)) == IsYuv(outputFormat)) return stated;
  // Zero is "unknown" for every member.
  GstVideoColorimetry produced = stated.value_or(GstVideoColorimetry{});
  const bool yuv = IsYuv(outputFormat);
  produced.range = yuv ? GST_VIDEO_COLOR_RANGE_16_235 : GST_VIDEO_COLOR_RANGE_0_255;
  produced.matrix = yuv ? GST_VIDEO_COLOR_MATRIX_BT601 : GST_VIDEO_COLOR_MATRIX_RGB;
  return produced;
}

}  // namespace

std::string ProducedColorimetry(const GstStructure& input, GstVideoFormat outputFormat) {
  const std::optional<GstVideoColorimetry> produced = Produced(input, outputFormat);
  return produced ? Text(*produced) : std::string();
}

std::optional<std::string> ColorimetryConflict(const GstStructure& input, const GstStructure& output) {
  const std::optional<GstVideoColorimetry> asked = Stated(output);
  const std::optional<GstVideoColorimetry> produced = Produced(input, FormatOf(output));
  if (!asked || !produced) return std::nullopt;
  if (asked->range == produced->range && asked->matrix == produced->matrix) return std::nullopt;
  return "downstream asks for colorimetry " + Text(*asked) + ", but the conversion produces " + Text(*produced) +
         " (the plug-in converts with BT.601, YUV in video range)";
}

std::optional<std::string> InputColorimetryNote(const GstStructure& input, GstVideoFormat outputFormat) {
  const std::optional<GstVideoColorimetry> stated = Stated(input);
  const bool yuvInput = IsYuv(FormatOf(input));
  if (!stated || yuvInput == IsYuv(outputFormat)) return std::nullopt;
  const bool expectedRange = stated->range == GST_VIDEO_COLOR_RANGE_UNKNOWN ||
                             stated->range == (yuvInput ? GST_VIDEO_COLOR_RANGE_16_235 : GST_VIDEO_COLOR_RANGE_0_255);
  const bool expectedMatrix = !yuvInput || stated->matrix == GST_VIDEO_COLOR_MATRIX_UNKNOWN ||
                              stated->matrix == GST_VIDEO_COLOR_MATRIX_BT601;
  if (expectedRange && expectedMatrix) return std::nullopt;
  return "input colorimetry " + Text(*stated) + " is converted as " +
         (yuvInput ? "BT.601 video-range YUV" : "full-range RGB") + ": colours will be off";
}

}  // namespace pellix::gst
