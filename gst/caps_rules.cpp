#include "gst/caps_rules.h"

#include <cstdlib>
#include <limits>
#include <vector>

#include "gst/colorimetry.h"
#include "gst/format_map.h"
#include "gst/frame_plan.h"

namespace pellix::gst {
namespace {

void SetFormatList(GstStructure* structure) {
  GValue list = G_VALUE_INIT;
  gst_value_list_init(&list, ConvertibleFormats().size());
  for (GstVideoFormat format : ConvertibleFormats()) {
    GValue name = G_VALUE_INIT;
    g_value_init(&name, G_TYPE_STRING);
    g_value_set_static_string(&name, gst_video_format_to_string(format));
    gst_value_list_append_and_take_value(&list, &name);
  }
  gst_structure_take_value(structure, "format", &list);
}

bool IsSystemMemory(const GstCapsFeatures* features) {
  return !gst_caps_features_is_any(features) &&
         gst_caps_features_is_equal(features, GST_CAPS_FEATURES_MEMORY_SYSTEM_MEMORY);
}

// The formats a structure allows: its format field's one value or list, or
// every convertible format when it leaves the format open.
std::vector<GstVideoFormat> FormatsIn(const GstStructure* structure) {
  const GValue* value = gst_structure_get_value(structure, "format");
  if (value == nullptr) return ConvertibleFormats();
  std::vector<GstVideoFormat> formats;
  if (G_VALUE_HOLDS_STRING(value)) {
    formats.push_back(gst_video_format_from_string(g_value_get_string(value)));
  } else if (GST_VALUE_HOLDS_LIST(value)) {
    for (guint i = 0; i < gst_value_list_get_size(value); ++i) {
      const GValue* item = gst_value_list_get_value(value, i);
      if (G_VALUE_HOLDS_STRING(item)) formats.push_back(gst_video_format_from_string(g_value_get_string(item)));
    }
  }
  return formats;
}

// Moves each field of `output` that still offers a choice towards the input's
// value of that field (size, frame rate, aspect ratio, interlacing...).
gboolean FixateTowardsInput(GQuark field, const GValue* value, gpointer output) {
  auto* structure = static_cast<GstStructure*>(output);
  const char* name = g_quark_to_string(field);
  if (!gst_structure_has_field(structure, name)) return TRUE;
  if (G_VALUE_HOLDS_INT(value)) {
    gst_structure_fixate_field_nearest_int(structure, name, g_value_get_int(value));
  } else if (GST_VALUE_HOLDS_FRACTION(value)) {
    gst_structure_fixate_field_nearest_fraction(structure, name, gst_value_get_fraction_numerator(value),
                                                gst_value_get_fraction_denominator(value));
  } else if (G_VALUE_HOLDS_STRING(value)) {
    gst_structure_fixate_field_string(structure, name, g_value_get_string(value));
  }
  return TRUE;
}

}  // namespace

GstCaps* TemplateCaps() {
  GstCaps* caps = gst_caps_new_simple("video/x-raw", "width", GST_TYPE_INT_RANGE, 1, G_MAXINT, "height",
                                      GST_TYPE_INT_RANGE, 1, G_MAXINT, "framerate", GST_TYPE_FRACTION_RANGE, 0, 1,
                                      G_MAXINT, 1, nullptr);
  SetFormatList(gst_caps_get_structure(caps, 0));
  return caps;
}

GstCaps* ConvertibleCaps(GstCaps* caps, GstCaps* filter) {
  GstCaps* result = gst_caps_new_empty();
  const guint count = gst_caps_get_size(caps);
  for (guint i = 0; i < count; ++i) {
    gst_caps_append_structure_full(result, gst_structure_copy(gst_caps_get_structure(caps, i)),
                                   gst_caps_features_copy(gst_caps_get_features(caps, i)));
  }
  for (guint i = 0; i < count; ++i) {
    const GstCapsFeatures* features = gst_caps_get_features(caps, i);
    if (!IsSystemMemory(features)) continue;
    GstStructure* converted = gst_structure_copy(gst_caps_get_structure(caps, i));
    gst_structure_remove_fields(converted, "format", "colorimetry", "chroma-site", nullptr);
    SetFormatList(converted);
    result = gst_caps_merge_structure_full(result, converted, gst_caps_features_copy(features));
  }
  if (filter != nullptr) {
    GstCaps* filtered = gst_caps_intersect_full(filter, result, GST_CAPS_INTERSECT_FIRST);
    gst_caps_unref(result);
    result = filtered;
  }
  return result;
}

int FormatDistance(GstVideoFormat from, GstVideoFormat to) {
  const GstVideoFormatInfo* a = gst_video_format_get_info(from);
  const GstVideoFormatInfo* b = gst_video_format_get_info(to);
  int distance = 0;
  if (GST_VIDEO_FORMAT_INFO_IS_YUV(a) != GST_VIDEO_FORMAT_INFO_IS_YUV(b)) distance += 8;
  // Subsampling of the chroma components (component 1), as shifts.
  distance += 2 * std::abs(static_cast<int>(a->w_sub[1]) - static_cast<int>(b->w_sub[1]));
  distance += 2 * std::abs(static_cast<int>(a->h_sub[1]) - static_cast<int>(b->h_sub[1]));
  if ((GST_VIDEO_FORMAT_INFO_N_PLANES(a) > 1) != (GST_VIDEO_FORMAT_INFO_N_PLANES(b) > 1)) distance += 1;
  return distance;
}

GstCaps* FixateOutput(GstCaps* input, GstCaps* offered) {
  const GstStructure* in = gst_caps_get_structure(input, 0);
  const char* inName = gst_structure_get_string(in, "format");
  const GstVideoFormat inFormat = inName != nullptr ? gst_video_format_from_string(inName) : GST_VIDEO_FORMAT_UNKNOWN;

  // The input format wins outright; otherwise the closest, the first offered
  // on a tie (downstream's order of preference).
  bool found = false;
  guint bestIndex = 0;
  GstVideoFormat bestFormat = GST_VIDEO_FORMAT_UNKNOWN;
  int bestDistance = std::numeric_limits<int>::max();
  for (guint i = 0; i < gst_caps_get_size(offered); ++i) {
    for (GstVideoFormat format : FormatsIn(gst_caps_get_structure(offered, i))) {
      if (!PluginFormatOf(format)) continue;
      const int distance = format == inFormat ? -1 : FormatDistance(inFormat, format);
      if (!found || distance < bestDistance) {
        found = true;
        bestIndex = i;
        bestFormat = format;
        bestDistance = distance;
      }
    }
  }
  if (!found || inFormat == GST_VIDEO_FORMAT_UNKNOWN) return gst_caps_fixate(offered);

  GstStructure* out = gst_structure_copy(gst_caps_get_structure(offered, bestIndex));
  GstCapsFeatures* features = gst_caps_features_copy(gst_caps_get_features(offered, bestIndex));
  gst_caps_unref(offered);
  gst_structure_set(out, "format", G_TYPE_STRING, gst_video_format_to_string(bestFormat), nullptr);
  const std::string colorimetry = ProducedColorimetry(*in, bestFormat);
  if (!colorimetry.empty()) {
    if (gst_structure_has_field(out, "colorimetry")) {
      gst_structure_fixate_field_string(out, "colorimetry", colorimetry.c_str());
    } else {
      gst_structure_set(out, "colorimetry", G_TYPE_STRING, colorimetry.c_str(), nullptr);
    }
  }
  gst_structure_foreach(in, FixateTowardsInput, out);
  GstCaps* result = gst_caps_new_empty();
  gst_caps_append_structure_full(result, out, features);
  return gst_caps_fixate(result);
}

std::optional<std::string> SizeRefusal(PixelFormat input, PixelFormat output, int32_t width, int32_t height) {
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  for (PixelFormat format : {input, output}) {
    if (IsPlanar(format) && (width % 2 != 0 || height % 2 != 0)) {
      return std::string(FormatName(format)) + " at " + size +
             " cannot be converted exactly: GStreamer's 4:2:0 frame holds " + std::to_string((width + 1) / 2) +
             "x" + std::to_string((height + 1) / 2) + " chroma samples, the plug-in's " + std::to_string(width / 2) +
             "x" + std::to_string(height / 2) + "; use an even width and height";
    }
  }
  const int32_t stride = CopyStride(input, output, width);
  for (PixelFormat format : {input, output}) {
    const uint64_t bytes = LayoutFor(format, width, height, stride, PlaneRule::Source).bytes;
    if (bytes > std::numeric_limits<uint32_t>::max()) {
      return std::string(FormatName(format)) + " at " + size + " needs " + std::to_string(bytes) +
             " bytes per frame; the plug-in's frames hold at most 4 GiB";
    }
  }
  return std::nullopt;
}

}  // namespace pellix::gst
