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

const char* MatrixName(GstVideoColorMatrix matrix) {
  switch (matrix) {
    case GST_VIDEO_COLOR_MATRIX_RGB: return "RGB";
    case GST_VIDEO_COLOR_MATRIX_FCC: return "FCC";
    case GST_VIDEO_COLOR_MATRIX_BT709: return "BT.709";
    case GST_VIDEO_COLOR_MATRIX_BT601: return "BT.601";
    case GST_VIDEO_COLOR_MATRIX_SMPTE240M: return "SMPTE 240M";
    case GST_VIDEO_COLOR_MATRIX_BT2020: return "BT.2020";
    default: return "unknown";
  }
}

const char* RangeName(GstVideoColorRange range) {
  switch (range) {
    case GST_VIDEO_COLOR_RANGE_0_255: return "full range";
    case GST_VIDEO_COLOR_RANGE_16_235: return "video range";
    default: return "unknown range";
  }
}

GstVideoColorimetry WithModel(GstVideoColorimetry colorimetry, bool yuv) {
  colorimetry.range = yuv ? GST_VIDEO_COLOR_RANGE_16_235 : GST_VIDEO_COLOR_RANGE_0_255;
  colorimetry.matrix = yuv ? GST_VIDEO_COLOR_MATRIX_BT601 : GST_VIDEO_COLOR_MATRIX_RGB;
  return colorimetry;
}

// Range and matrix the plug-in writes for this output model, transfer and
// primaries as the input stated them (unknown when it stated none).
std::optional<GstVideoColorimetry> Produced(const GstStructure& input, GstVideoFormat outputFormat) {
  const std::optional<GstVideoColorimetry> stated = Stated(input);
  if (IsYuv(FormatOf(input)) == IsYuv(outputFormat)) return stated;
  // Zero is "unknown" for every member.
  return WithModel(stated.value_or(GstVideoColorimetry{}), IsYuv(outputFormat));
}

// The colorimetry does not contradict the plug-in's for this model (an
// unknown member contradicts nothing).
bool IsModel(const GstVideoColorimetry& colorimetry, bool yuv) {
  const GstVideoColorimetry expected = WithModel(colorimetry, yuv);
  const bool range = colorimetry.range == GST_VIDEO_COLOR_RANGE_UNKNOWN || colorimetry.range == expected.range;
  const bool matrix = !yuv || colorimetry.matrix == GST_VIDEO_COLOR_MATRIX_UNKNOWN ||
                      colorimetry.matrix == expected.matrix;
  return range && matrix;
}

constexpr const char* kHow = " (the plug-in converts with BT.601, YUV in video range and RGB in full range)";

// Why input of these caps, converted to the other colour model, would not
// be read as it means.
std::optional<std::string> ModelRefusal(const GstStructure& caps, const GstVideoInfo& in) {
  const bool yuvIn = GST_VIDEO_INFO_IS_YUV(&in);
  if (IsModel(in.colorimetry, yuvIn)) return std::nullopt;
  const bool stated = gst_structure_has_field(&caps, "colorimetry");
  return "input colorimetry " + ReadableColorimetry(in.colorimetry) +
         (stated ? std::string()
                 : " (what GStreamer reads from " + std::to_string(GST_VIDEO_INFO_WIDTH(&in)) + "x" +
                       std::to_string(GST_VIDEO_INFO_HEIGHT(&in)) + " caps without colorimetry)") +
         " cannot be converted as it means" + kHow + "; convert it to " +
         (yuvIn ? "colorimetry=bt601 first, for example with videoconvert" : "full-range RGB first");
}

}  // namespace

std::optional<std::string> InputColorimetryRefusal(const GstStructure& caps, const GstVideoInfo& info) {
  if (!GST_VIDEO_INFO_IS_YUV(&info)) return std::nullopt;
  return ModelRefusal(caps, info);
}

std::string ReadableColorimetry(const GstVideoColorimetry& colorimetry) {
  const std::string name = Text(colorimetry);
  if (!name.empty() && name.find(':') == std::string::npos) return name;
  return std::string(MatrixName(colorimetry.matrix)) + " matrix, " + RangeName(colorimetry.range);
}

std::string ProducedColorimetry(const GstStructure& input, GstVideoFormat outputFormat) {
  const std::optional<GstVideoColorimetry> produced = Produced(input, outputFormat);
  return produced ? Text(*produced) : std::string();
}

std::string ConvertedYuvColorimetry(const GstStructure& rgb) {
  return Text(WithModel(Stated(rgb).value_or(GstVideoColorimetry{}), true));
}

std::optional<std::string> ColorimetryRefusal(const GstStructure& inCaps, const GstVideoInfo& in,
                                              const GstStructure& outCaps, const GstVideoInfo& out) {
  const bool yuvIn = GST_VIDEO_INFO_IS_YUV(&in);
  const bool yuvOut = GST_VIDEO_INFO_IS_YUV(&out);
  if (yuvIn == yuvOut) return std::nullopt;
  if (auto refusal = ModelRefusal(inCaps, in)) return refusal;
  if (!IsModel(out.colorimetry, yuvOut)) {
    const bool stated = gst_structure_has_field(&outCaps, "colorimetry");
    const std::optional<GstVideoColorimetry> produced = Produced(inCaps, GST_VIDEO_INFO_FORMAT(&out));
    return std::string(stated ? "downstream asks for colorimetry " : "the output caps mean colorimetry ") +
           ReadableColorimetry(out.colorimetry) + ", but the conversion produces " +
           ReadableColorimetry(produced.value_or(WithModel(GstVideoColorimetry{}, yuvOut))) + kHow;
  }
  return std::nullopt;
}

}  // namespace pellix::gst
