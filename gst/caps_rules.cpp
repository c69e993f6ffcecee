#include "gst/caps_rules.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <vector>

#include "formats/frame_rules.h"
#include "gst/colorimetry.h"
#include "gst/format_map.h"
#include "formats/size_rules.h"
#include "gst/frame_plan.h"

namespace pellix::gst {
namespace {

void SetFormatList(GstStructure* structure, const std::vector<GstVideoFormat>& formats) {
  GValue list = G_VALUE_INIT;
  gst_value_list_init(&list, formats.size());
  for (GstVideoFormat format : formats) {
    GValue name = G_VALUE_INIT;
    g_value_init(&name, G_TYPE_STRING);
    g_value_set_static_string(&name, gst_video_format_to_string(format));
    gst_value_list_append_and_take_value(&list, &name);
  }
  gst_structure_take_value(structure, "format", &list);
}

// The colorimetry of YUV on the other side of RGB: what the conversion
// produces, and for an input GStreamer's own name for BT.601 first, as the
// caps of a stream that converts as the plug-in reads it. (A caps field
// cannot leave transfer and primaries open, so these two stand for them.)
void SetColorimetries(GstStructure* structure, bool input, const std::string& produced) {
  std::vector<std::string> texts;
  if (input) texts.push_back("bt601");
  if (texts.empty() || texts.front() != produced) texts.push_back(produced);
  if (texts.size() == 1) {
    gst_structure_set(structure, "colorimetry", G_TYPE_STRING, produced.c_str(), nullptr);
    return;
  }
  GValue list = G_VALUE_INIT;
  gst_value_list_init(&list, texts.size());
  for (const std::string& text : texts) {
    GValue value = G_VALUE_INIT;
    g_value_init(&value, G_TYPE_STRING);
    g_value_set_string(&value, text.c_str());
    gst_value_list_append_and_take_value(&list, &value);
  }
  gst_structure_take_value(structure, "colorimetry", &list);
}

bool IsYuv(GstVideoFormat format) { return GST_VIDEO_FORMAT_INFO_IS_YUV(gst_video_format_get_info(format)); }

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

// The formats the other pad may have for a structure of `formats` on this
// pad. BGRx becomes BGRA only by setting every alpha byte to 255, which no
// conversion of the plug-in does, so BGRx input is never offered BGRA output.
// (Sizes are left to fixation, which passes over formats a size rules out,
// and to set-up, which names the reason when nothing else is offered.)
std::vector<GstVideoFormat> FormatsOffered(const std::vector<GstVideoFormat>& formats, GstPadDirection direction) {
  const bool towardsOutput = direction == GST_PAD_SINK;
  const bool onlyBgrx = formats.size() == 1 && formats[0] == GST_VIDEO_FORMAT_BGRx;
  const bool onlyBgra = formats.size() == 1 && formats[0] == GST_VIDEO_FORMAT_BGRA;
  std::vector<GstVideoFormat> offered;
  for (GstVideoFormat format : ConvertibleFormats()) {
    if (towardsOutput && onlyBgrx && format == GST_VIDEO_FORMAT_BGRA) continue;
    if (!towardsOutput && onlyBgra && format == GST_VIDEO_FORMAT_BGRx) continue;
    offered.push_back(format);
  }
  return offered;
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
  SetFormatList(gst_caps_get_structure(caps, 0), ConvertibleFormats());
  return caps;
}

GstCaps* ConvertibleCaps(GstCaps* caps, GstPadDirection direction, GstCaps* filter) {
  GstCaps* result = gst_caps_new_empty();
  const guint count = gst_caps_get_size(caps);
  for (guint i = 0; i < count; ++i) {
    gst_caps_append_structure_full(result, gst_structure_copy(gst_caps_get_structure(caps, i)),
                                   gst_caps_features_copy(gst_caps_get_features(caps, i)));
  }
  for (guint i = 0; i < count; ++i) {
    const GstCapsFeatures* features = gst_caps_get_features(caps, i);
    if (!IsSystemMemory(features)) continue;
    const GstStructure* structure = gst_caps_get_structure(caps, i);
    std::vector<GstVideoFormat> formats = FormatsIn(structure);
    formats.erase(std::remove_if(formats.begin(), formats.end(),
                                 [](GstVideoFormat format) { return !PluginFormatOf(format); }),
                  formats.end());
    if (formats.empty()) continue;
    const bool allYuv = std::all_of(formats.begin(), formats.end(), IsYuv);
    const bool allRgb = std::none_of(formats.begin(), formats.end(), IsYuv);
    const std::vector<GstVideoFormat> offered = FormatsOffered(formats, direction);
    std::vector<GstVideoFormat> yuv;
    std::vector<GstVideoFormat> rgb;
    for (GstVideoFormat format : offered) (IsYuv(format) ? yuv : rgb).push_back(format);

    GstStructure* open = gst_structure_copy(structure);
    gst_structure_remove_fields(open, "format", "chroma-site", nullptr);
    // Repacking YUV keeps its samples and so its colorimetry; a change of
    // colour model has none to keep.
    if (!allYuv) gst_structure_remove_field(open, "colorimetry");
    if (!yuv.empty()) {
      GstStructure* repacked = gst_structure_copy(open);
      if (allRgb) {
        // YUV made from RGB or read as RGB is BT.601 video range. Upstream
        // is offered only that, so a converter before the element converts
        // to it. Downstream is offered it first and then any colorimetry,
        // so that caps asking for another reach set-up and are refused
        // there with the reason.
        GstStructure* stated = gst_structure_copy(open);
        SetColorimetries(stated, direction == GST_PAD_SRC, ConvertedYuvColorimetry(*structure));
        SetFormatList(stated, yuv);
        result = gst_caps_merge_structure_full(result, stated, gst_caps_features_copy(features));
        if (direction == GST_PAD_SRC) {
          gst_structure_free(repacked);
          repacked = nullptr;
        }
      }
      if (repacked != nullptr) {
        SetFormatList(repacked, yuv);
        result = gst_caps_merge_structure_full(result, repacked, gst_caps_features_copy(features));
      }
    }
    if (!rgb.empty()) {
      GstStructure* converted = gst_structure_copy(open);
      gst_structure_remove_field(converted, "colorimetry");
      SetFormatList(converted, rgb);
      result = gst_caps_merge_structure_full(result, converted, gst_caps_features_copy(features));
    }
    gst_structure_free(open);
  }
  if (filter != nullptr) {
    GstCaps* filtered = gst_caps_intersect_full(filter, result, GST_CAPS_INTERSECT_FIRST);
    gst_caps_unref(result);
    result = filtered;
  }
  return result;
}

GstCaps* RefusalChoices(GstCaps* caps) {
  GstCaps* choices = gst_caps_new_empty();
  for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
    const GstStructure* structure = gst_caps_get_structure(caps, i);
    const GValue* interlacing = gst_structure_get_value(structure, "interlace-mode");
    if (!gst_structure_has_field_typed(structure, "width", G_TYPE_INT) ||
        !gst_structure_has_field_typed(structure, "height", G_TYPE_INT) ||
        (interlacing != nullptr && !G_VALUE_HOLDS_STRING(interlacing))) {
      gst_caps_unref(choices);
      return nullptr;
    }
    // No colorimetry field is one choice: what GStreamer reads from the rest.
    std::vector<const GValue*> colorimetries;
    const GValue* colorimetry = gst_structure_get_value(structure, "colorimetry");
    if (colorimetry != nullptr && GST_VALUE_HOLDS_LIST(colorimetry)) {
      for (guint j = 0; j < gst_value_list_get_size(colorimetry); ++j) {
        colorimetries.push_back(gst_value_list_get_value(colorimetry, j));
      }
    } else {
      colorimetries.push_back(colorimetry);
    }
    for (GstVideoFormat format : FormatsIn(structure)) {
      if (!PluginFormatOf(format)) continue;
      for (const GValue* value : colorimetries) {
        GstStructure* choice = gst_structure_copy(structure);
        gst_structure_set(choice, "format", G_TYPE_STRING, gst_video_format_to_string(format), nullptr);
        if (value != nullptr) gst_structure_set_value(choice, "colorimetry", value);
        gst_caps_append_structure_full(choices, choice, gst_caps_features_copy(gst_caps_get_features(caps, i)));
      }
    }
  }
  return choices;
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
  const std::optional<PixelFormat> inputFormat = PluginFormatOf(inFormat);
  int width = 0;
  int height = 0;
  gst_structure_get_int(in, "width", &width);
  gst_structure_get_int(in, "height", &height);

  // The input format wins outright; otherwise the closest, the first offered
  // on a tie (downstream's order of preference).
  bool found = false;
  guint bestIndex = 0;
  GstVideoFormat bestFormat = GST_VIDEO_FORMAT_UNKNOWN;
  int bestDistance = std::numeric_limits<int>::max();
  for (guint i = 0; i < gst_caps_get_size(offered); ++i) {
    for (GstVideoFormat format : FormatsIn(gst_caps_get_structure(offered, i))) {
      if (!PluginFormatOf(format)) continue;
      int distance = format == inFormat ? -1 : FormatDistance(inFormat, format);
      // A format the size rules out comes last: chosen only when nothing
      // else is offered, so that set-up refuses it with the reason.
      if (format != inFormat && inputFormat && !AcceptsSize(FormatPair{*inputFormat, *PluginFormatOf(format)}, width, height)) {
        distance += 1000;
      }
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
  if (!AcceptsSize(FormatPair{input, output}, width, height)) {
    return std::string(FormatName(input)) + " at " + size + " has no " + FormatName(output) +
           " frame: 4:2:2 chroma is taken from whole pixel pairs of whole row pairs; use an even width and height";
  }
  const FrameSize frame = PluginFrameSize(input, output, width, height);
  const int32_t stride = CopyStride(input, output, frame.width);
  for (PixelFormat format : {input, output}) {
    const uint64_t bytes = LayoutFor(format, frame.width, frame.height, stride, PlaneRule::Source).bytes;
    if (!FitsInAFrame(bytes)) {
      return std::string(FormatName(format)) + " at " + size + " needs " + std::to_string(bytes) +
             " bytes per frame; the plug-in's frames hold at most 4 GiB";
    }
  }
  return std::nullopt;
}

}  // namespace pellix::gst
