#include "gst/pellix_convert.h"

#include <gst/base/gstbasetransform.h>
#include <gst/video/gstvideofilter.h>
#include <gst/video/video.h>

#include <exception>
#include <optional>
#include <string>

#include "gst/caps_rules.h"
#include "gst/colorimetry.h"
#include "gst/element_state.h"
#include "gst/format_map.h"
#include "host/plugin_library.h"

GST_DEBUG_CATEGORY_STATIC(pellix_convert_debug);
#define GST_CAT_DEFAULT pellix_convert_debug

struct GstPellixConvert {
  GstVideoFilter parent;
  pellix::gst::ElementState* state;
};

struct GstPellixConvertClass {
  GstVideoFilterClass parent_class;
};

G_DEFINE_TYPE(GstPellixConvert, gst_pellix_convert, GST_TYPE_VIDEO_FILTER)

namespace {

using pellix::PixelFormat;
using pellix::gst::ElementState;

enum Property : guint { kPropertyNone, kPropertyPluginPath, kPropertyThreads };

ElementState& StateOf(gpointer element) { return *static_cast<GstPellixConvert*>(element)->state; }

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* definition) {
  if (id == kPropertyThreads) {
    StateOf(object).setThreads(static_cast<int>(g_value_get_uint(value)));
    return;
  }
  if (id != kPropertyPluginPath) {
    G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, definition);
    return;
  }
  const char* path = g_value_get_string(value);
  StateOf(object).setPluginPath(path != nullptr ? path : pellix::PluginLibrary::defaultPath());
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* definition) {
  if (id == kPropertyThreads) {
    g_value_set_uint(value, static_cast<guint>(StateOf(object).threads()));
    return;
  }
  if (id != kPropertyPluginPath) {
    G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, definition);
    return;
  }
  g_value_set_string(value, StateOf(object).pluginPath().c_str());
}

void Finalize(GObject* object) {
  auto* self = reinterpret_cast<GstPellixConvert*>(object);
  delete self->state;
  self->state = nullptr;
  G_OBJECT_CLASS(gst_pellix_convert_parent_class)->finalize(object);
}

void ReportRefusalOnce(GstBaseTransform* trans, const std::string& why) {
  if (StateOf(trans).firstRefusal(why)) {
    GST_ELEMENT_ERROR(trans, CORE, NEGOTIATION, ("pellixconvert cannot use these caps: %s", why.c_str()), (nullptr));
  }
}

// Input caps the element refuses before set-up never reach it: upstream
// finds no caps in common (asking with its own caps as `input`, the filter)
// or the element does not accept them. The reason is given then, once;
// upstream ends the stream not-negotiated. `output`: what
// downstream takes, when known.
void WarnWhyInputIsRefused(GstBaseTransform* trans, GstCaps* input, GstCaps* output) {
  if (input == nullptr || gst_caps_get_size(input) != 1) return;
  // Only the fields that decide the refusal, when fixed (upstream's filter
  // may leave others open).
  const GstStructure* structure = gst_caps_get_structure(input, 0);
  const char* format = gst_structure_get_string(structure, "format");
  const char* colorimetry = gst_structure_get_string(structure, "colorimetry");
  int width = 0;
  int height = 0;
  if (format == nullptr || !gst_structure_get_int(structure, "width", &width) ||
      !gst_structure_get_int(structure, "height", &height)) {
    return;
  }
  const char* outputFormat = output != nullptr && gst_caps_get_size(output) > 0
                                 ? gst_structure_get_string(gst_caps_get_structure(output, 0), "format")
                                 : nullptr;
  const std::optional<PixelFormat> from = pellix::gst::PluginFormatOf(gst_video_format_from_string(format));
  const std::optional<PixelFormat> to =
      outputFormat != nullptr ? pellix::gst::PluginFormatOf(gst_video_format_from_string(outputFormat)) : std::nullopt;
  if (from && to && *from != *to) {
    if (auto why = pellix::gst::SizeRefusal(*from, *to, width, height)) return ReportRefusalOnce(trans, *why);
  }
  GstCaps* fixed = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, format, "width", G_TYPE_INT, width,
                                       "height", G_TYPE_INT, height, nullptr);
  if (colorimetry != nullptr) gst_caps_set_simple(fixed, "colorimetry", G_TYPE_STRING, colorimetry, nullptr);
  GstVideoInfo info;
  const bool read = gst_video_info_from_caps(&info, fixed);
  gst_caps_unref(fixed);
  if (!read) return;
  if (auto why = pellix::gst::InputColorimetryRefusal(*structure, info)) ReportRefusalOnce(trans, *why);
}

GstCaps* TransformCaps(GstBaseTransform* trans, GstPadDirection direction, GstCaps* caps, GstCaps* filter) {
  GstCaps* result = pellix::gst::ConvertibleCaps(caps, direction, filter);
  GST_DEBUG_OBJECT(trans, "%" GST_PTR_FORMAT " -> %" GST_PTR_FORMAT, static_cast<void*>(caps),
                   static_cast<void*>(result));
  if (direction == GST_PAD_SRC && gst_caps_is_empty(result)) WarnWhyInputIsRefused(trans, filter, caps);
  return result;
}

GstCaps* FixateCaps(GstBaseTransform* trans, GstPadDirection, GstCaps* caps, GstCaps* othercaps) {
  GstCaps* result = pellix::gst::FixateOutput(caps, othercaps);
  GST_DEBUG_OBJECT(trans, "fixated to %" GST_PTR_FORMAT, static_cast<void*>(result));
  return result;
}


// Flushing and EOS give up the component and its ports; the next buffer of
// the same caps makes them again.
gboolean SinkEvent(GstBaseTransform* trans, GstEvent* event) {
  if (GST_EVENT_TYPE(event) == GST_EVENT_EOS || GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
    StateOf(trans).releaseConversion();
  }
  return GST_BASE_TRANSFORM_CLASS(gst_pellix_convert_parent_class)->sink_event(trans, event);
}

gboolean Stop(GstBaseTransform* trans) {
  StateOf(trans).configure(std::nullopt);
  StateOf(trans).forgetRefusal();
  return TRUE;
}

// Refused caps fail negotiation as in GStreamer's own converters: set-up
// answers FALSE, and upstream ends the stream with its one not-negotiated
// error. The element's own error, naming the reason, is posted once:
// GStreamer asks again for the same caps on every reconfiguration and buffer.
gboolean RefuseCaps(GstVideoFilter* filter, const std::string& why) {
  GST_WARNING_OBJECT(filter, "refusing caps: %s", why.c_str());
  ReportRefusalOnce(GST_BASE_TRANSFORM(filter), why);
  return FALSE;
}

// Why caps negotiated this way cannot be converted, or nothing.
std::optional<std::string> SetupRefusal(GstCaps* incaps, const GstVideoInfo* inInfo, GstCaps* outcaps,
                                        const GstVideoInfo* outInfo) {
  const std::optional<PixelFormat> input = pellix::gst::PluginFormatOf(GST_VIDEO_INFO_FORMAT(inInfo));
  const std::optional<PixelFormat> output = pellix::gst::PluginFormatOf(GST_VIDEO_INFO_FORMAT(outInfo));
  if (!input || !output) return "a format the plug-in does not convert";
  const int32_t width = GST_VIDEO_INFO_WIDTH(inInfo);
  const int32_t height = GST_VIDEO_INFO_HEIGHT(inInfo);
  if (width != GST_VIDEO_INFO_WIDTH(outInfo) || height != GST_VIDEO_INFO_HEIGHT(outInfo)) {
    return "the element converts formats only and does not scale";
  }
  if (GST_VIDEO_INFO_INTERLACE_MODE(inInfo) == GST_VIDEO_INTERLACE_MODE_ALTERNATE) {
    return "fields in separate buffers (interlace-mode alternate) are not supported";
  }
  const GstStructure* in = gst_caps_get_structure(incaps, 0);
  const GstStructure* out = gst_caps_get_structure(outcaps, 0);
  if (auto conflict = pellix::gst::ColorimetryRefusal(*in, *inInfo, *out, *outInfo)) return conflict;
  if (*input == *output) {
    // BGRA read as BGRx is the same bytes; the other way every alpha byte
    // would have to become 255, which is not a conversion of the plug-in.
    if (GST_VIDEO_INFO_FORMAT(inInfo) == GST_VIDEO_FORMAT_BGRx && GST_VIDEO_INFO_FORMAT(outInfo) == GST_VIDEO_FORMAT_BGRA) {
      return "BGRx to BGRA is not a conversion of the plug-in (alpha would have to be set)";
    }
    return std::nullopt;
  }
  return pellix::gst::SizeRefusal(*input, *output, width, height);
}

// The output caps negotiation would fix for fixed input `caps` (what
// downstream takes, converted and fixed), or null when there are none.
GstCaps* ForeseenOutput(GstBaseTransform* trans, GstCaps* caps) {
  GstCaps* peer = gst_pad_peer_query_caps(GST_BASE_TRANSFORM_SRC_PAD(trans), nullptr);
  GstCaps* offered = pellix::gst::ConvertibleCaps(caps, GST_PAD_SINK, peer);
  if (peer != nullptr) gst_caps_unref(peer);
  if (gst_caps_is_empty(offered)) {
    gst_caps_unref(offered);
    return nullptr;
  }
  return pellix::gst::FixateOutput(caps, offered);
}

// Why set-up would refuse `caps`, fixed with their size and format (and
// colorimetry) as upstream would fix them, or nothing.
std::optional<std::string> RefusalOf(GstBaseTransform* trans, GstCaps* caps) {
  const GstStructure* structure = gst_caps_get_structure(caps, 0);
  if (gst_caps_get_size(caps) != 1 || gst_structure_get_string(structure, "format") == nullptr ||
      !gst_structure_has_field_typed(structure, "width", G_TYPE_INT) ||
      !gst_structure_has_field_typed(structure, "height", G_TYPE_INT)) {
    return std::nullopt;
  }
  GstCaps* input = gst_caps_fixate(gst_caps_copy(caps));
  GstCaps* output = ForeseenOutput(trans, input);
  GstVideoInfo inInfo;
  GstVideoInfo outInfo;
  std::optional<std::string> refusal;
  if (output != nullptr && gst_caps_is_fixed(output) && gst_video_info_from_caps(&inInfo, input) &&
      gst_video_info_from_caps(&outInfo, output)) {
    try {
      refusal = SetupRefusal(input, &inInfo, output, &outInfo);
    } catch (const std::exception& error) {
      GST_WARNING_OBJECT(trans, "%s", error.what());
    }
  }
  if (output != nullptr) gst_caps_unref(output);
  gst_caps_unref(input);
  return refusal;
}

// Caps set-up would refuse are refused when offered too, before the caps
// event, so that upstream's negotiation fails at once. True when refused; the
// reason is posted.
bool WouldRefuse(GstBaseTransform* trans, GstCaps* caps) {
  const std::optional<std::string> refusal = RefusalOf(trans, caps);
  if (refusal) ReportRefusalOnce(trans, *refusal);
  return refusal.has_value();
}

// A refusal that upstream's caps already decide, made on the way to PAUSED
// while no streaming thread runs: the state change fails at once, with the
// element's error the only one. (An error posted from a streaming thread
// before an application's main loop runs can be lost, gst-launch-1.0 then
// waiting forever to preroll.) Decided only when the sink pad accepts none
// of upstream's caps, or when every choice of format, size and colorimetry
// they leave upstream would be refused at set-up; the reason is then the
// first choice's (upstream's first pick). Anything else is left to
// negotiation, which refuses the same caps the same way. True when refused;
// the reason is posted once.
bool RefusedBeforeStreaming(GstBaseTransform* trans) {
  GstPad* sink = GST_BASE_TRANSFORM_SINK_PAD(trans);
  GstCaps* upstream = gst_pad_peer_query_caps(sink, nullptr);
  if (gst_caps_is_any(upstream) || gst_caps_is_empty(upstream)) {
    gst_caps_unref(upstream);
    return false;
  }
  // This query names the reason itself when upstream's caps are one fixed
  // format and size that nothing downstream takes (see TransformCaps).
  GstCaps* accepted = gst_pad_query_caps(sink, upstream);
  gst_caps_unref(upstream);
  bool refused = false;
  if (gst_caps_is_empty(accepted)) {
    refused = true;
    if (!StateOf(trans).refused()) {
      ReportRefusalOnce(trans,
                        "none of the caps upstream offers converts to caps downstream accepts (the plug-in converts "
                        "I420, YV12, YUY2, UYVY and BGRA with BT.601, YUV in video range and RGB in full range)");
    }
  } else if (GstCaps* choices = pellix::gst::RefusalChoices(accepted)) {
    std::optional<std::string> first;
    refused = gst_caps_get_size(choices) > 0;
    for (guint i = 0; refused && i < gst_caps_get_size(choices); ++i) {
      GstCaps* choice = gst_caps_copy_nth(choices, i);
      const std::optional<std::string> refusal = RefusalOf(trans, choice);
      gst_caps_unref(choice);
      if (!refusal) refused = false;
      if (!first) first = refusal;
    }
    gst_caps_unref(choices);
    if (refused) ReportRefusalOnce(trans, *first);
  }
  gst_caps_unref(accepted);
  return refused;
}

// The library is loaded on the way to READY, so a missing or broken plug-in
// stops the pipeline before any caps are negotiated; caps upstream and
// downstream already rule out stop it on the way to PAUSED.
GstStateChangeReturn ChangeState(GstElement* element, GstStateChange transition) {
  ElementState& state = StateOf(element);
  if (transition == GST_STATE_CHANGE_NULL_TO_READY) {
    try {
      state.load();
    } catch (const std::exception& error) {
      const std::string path = state.pluginPath();
      GST_ELEMENT_ERROR(element, RESOURCE, OPEN_READ,
                        ("Could not load the Pellix plug-in library \"%s\": %s", path.c_str(), error.what()),
                        ("plugin-path is \"%s\"", path.c_str()));
      return GST_STATE_CHANGE_FAILURE;
    }
  }
  if (transition == GST_STATE_CHANGE_READY_TO_PAUSED) {
    // Each start is judged afresh and says why it fails.
    state.forgetRefusal();
    bool refused = false;
    try {
      refused = RefusedBeforeStreaming(GST_BASE_TRANSFORM(element));
    } catch (const std::exception& error) {
      // Negotiation judges the caps then, as it does caps left open here.
      GST_WARNING_OBJECT(element, "caps not judged before streaming: %s", error.what());
    }
    if (refused) return GST_STATE_CHANGE_FAILURE;
  }
  const GstStateChangeReturn result =
      GST_ELEMENT_CLASS(gst_pellix_convert_parent_class)->change_state(element, transition);
  if (transition == GST_STATE_CHANGE_READY_TO_NULL) state.unload();
  return result;
}

gboolean AcceptCaps(GstBaseTransform* trans, GstPadDirection direction, GstCaps* caps) {
  gboolean accepted = GST_BASE_TRANSFORM_CLASS(gst_pellix_convert_parent_class)->accept_caps(trans, direction, caps);
  if (!accepted && direction == GST_PAD_SINK) WarnWhyInputIsRefused(trans, caps, nullptr);
  if (accepted && direction == GST_PAD_SINK && gst_caps_is_fixed(caps) && WouldRefuse(trans, caps)) accepted = FALSE;
  return accepted;
}

gboolean ConfigureFor(GstVideoFilter* filter, GstCaps* incaps, GstVideoInfo* inInfo, GstCaps* outcaps,
                      GstVideoInfo* outInfo) {
  if (auto refusal = SetupRefusal(incaps, inInfo, outcaps, outInfo)) return RefuseCaps(filter, *refusal);
  const PixelFormat input = *pellix::gst::PluginFormatOf(GST_VIDEO_INFO_FORMAT(inInfo));
  const PixelFormat output = *pellix::gst::PluginFormatOf(GST_VIDEO_INFO_FORMAT(outInfo));
  ElementState& state = StateOf(filter);
  GstBaseTransform* trans = GST_BASE_TRANSFORM(filter);
  if (input == output) {
    state.configure(std::nullopt);
    state.forgetRefusal();
    gst_base_transform_set_passthrough(trans, TRUE);
    return TRUE;
  }
  try {
    state.configure(
        pellix::gst::ConversionFormats{input, output, GST_VIDEO_INFO_WIDTH(inInfo), GST_VIDEO_INFO_HEIGHT(inInfo)});
  } catch (const std::exception& error) {
    return RefuseCaps(filter, std::string("the Pellix plug-in refused the formats: ") + error.what());
  }
  state.forgetRefusal();
  gst_base_transform_set_passthrough(trans, FALSE);
  return TRUE;
}

// No exception may unwind into GStreamer's C code.
gboolean SetInfo(GstVideoFilter* filter, GstCaps* incaps, GstVideoInfo* inInfo, GstCaps* outcaps,
                 GstVideoInfo* outInfo) {
  try {
    return ConfigureFor(filter, incaps, inInfo, outcaps, outInfo);
  } catch (const std::exception& error) {
    return RefuseCaps(filter, error.what());
  }
}

GstFlowReturn TransformFrame(GstVideoFilter* filter, GstVideoFrame* input, GstVideoFrame* output) {
  std::string error;
  try {
    error = StateOf(filter).convert(*input, *output);
  } catch (const std::exception& exception) {
    error = exception.what();
  }
  if (error.empty()) return GST_FLOW_OK;
  GST_ELEMENT_ERROR(filter, STREAM, FAILED, ("The Pellix plug-in did not convert a frame: %s", error.c_str()),
                    (nullptr));
  return GST_FLOW_ERROR;
}

void AddPadTemplate(GstElementClass* klass, const char* name, GstPadDirection direction) {
  GstCaps* caps = pellix::gst::TemplateCaps();
  gst_element_class_add_pad_template(klass, gst_pad_template_new(name, direction, GST_PAD_ALWAYS, caps));
  gst_caps_unref(caps);
}

}  // namespace

static void gst_pellix_convert_class_init(GstPellixConvertClass* klass) {
  GObjectClass* objectClass = G_OBJECT_CLASS(klass);
  objectClass->set_property = SetProperty;
  objectClass->get_property = GetProperty;
  objectClass->finalize = Finalize;
  const std::string defaultPath = pellix::PluginLibrary::defaultPath();
  g_object_class_install_property(
      objectClass, kPropertyPluginPath,
      g_param_spec_string("plugin-path", "Plug-in path",
                          "The Pellix plug-in library to load, read when the element goes from NULL to READY "
                          "(default: the library built with this element, or $PELLIX_PLUGIN when set)",
                          defaultPath.c_str(),
                          static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS | GST_PARAM_MUTABLE_READY)));

  g_object_class_install_property(
      objectClass, kPropertyThreads,
      g_param_spec_uint("n-threads", "Threads",
                        "Threads a frame is converted on: horizontal bands, each through its own component of the "
                        "plug-in, with the bytes of one whole-frame conversion (0: one per core); read when the "
                        "caps are set",
                        0, 1024, 1,
                        static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS | GST_PARAM_MUTABLE_READY)));

  GstElementClass* elementClass = GST_ELEMENT_CLASS(klass);
  gst_element_class_set_static_metadata(
      elementClass, "Pellix colour converter", "Filter/Converter/Video",
      "Converts raw video between I420, YV12, YUY2, UYVY and BGRA through the Pellix colour transform plug-in "
      "(BT.601, YUV in video range)",
      "Pellix developers");
  AddPadTemplate(elementClass, "sink", GST_PAD_SINK);
  AddPadTemplate(elementClass, "src", GST_PAD_SRC);
  elementClass->change_state = ChangeState;

  GstBaseTransformClass* transformClass = GST_BASE_TRANSFORM_CLASS(klass);
  transformClass->transform_caps = TransformCaps;
  transformClass->fixate_caps = FixateCaps;
  transformClass->accept_caps = AcceptCaps;
  transformClass->sink_event = SinkEvent;
  transformClass->stop = Stop;
  transformClass->passthrough_on_same_caps = TRUE;

  GstVideoFilterClass* filterClass = GST_VIDEO_FILTER_CLASS(klass);
  filterClass->set_info = SetInfo;
  filterClass->transform_frame = TransformFrame;
}

static void gst_pellix_convert_init(GstPellixConvert* self) { self->state = new ElementState(); }

namespace pellix::gst {

gboolean RegisterElement(GstPlugin* plugin) {
  GST_DEBUG_CATEGORY_INIT(pellix_convert_debug, "pellixconvert", 0, "Pellix colour converter");
  return gst_element_register(plugin, "pellixconvert", GST_RANK_NONE, gst_pellix_convert_get_type());
}

ElementReport ReportOf(GstElement* element) {
  const ElementState& state = StateOf(element);
  return {state.ledger()->report(), state.componentsMade(), state.componentLive()};
}

}  // namespace pellix::gst
