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

enum Property : guint { kPropertyNone, kPropertyPluginPath };

ElementState& StateOf(gpointer element) { return *static_cast<GstPellixConvert*>(element)->state; }

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* definition) {
  if (id != kPropertyPluginPath) {
    G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, definition);
    return;
  }
  const char* path = g_value_get_string(value);
  StateOf(object).setPluginPath(path != nullptr ? path : pellix::PluginLibrary::defaultPath());
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* definition) {
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

// The library is loaded on the way to READY, so a missing or broken plug-in
// stops the pipeline before any caps are negotiated.
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
  const GstStateChangeReturn result =
      GST_ELEMENT_CLASS(gst_pellix_convert_parent_class)->change_state(element, transition);
  if (transition == GST_STATE_CHANGE_READY_TO_NULL) state.unload();
  return result;
}

GstCaps* TransformCaps(GstBaseTransform* trans, GstPadDirection direction, GstCaps* caps, GstCaps* filter) {
  GstCaps* result = pellix::gst::ConvertibleCaps(caps, direction, filter);
  GST_DEBUG_OBJECT(trans, "%" GST_PTR_FORMAT " -> %" GST_PTR_FORMAT, static_cast<void*>(caps),
                   static_cast<void*>(result));
  return result;
}

GstCaps* FixateCaps(GstBaseTransform* trans, GstPadDirection, GstCaps* caps, GstCaps* othercaps) {
  GstCaps* result = pellix::gst::FixateOutput(caps, othercaps);
  GST_DEBUG_OBJECT(trans, "fixated to %" GST_PTR_FORMAT, static_cast<void*>(result));
  return result;
}

// Input caps refused here never reach set-up, so the reason is given here,
// once, as a warning: GStreamer asks this of caps it may go on to replace,
// and upstream ends the stream not-negotiated when it does not.
gboolean AcceptCaps(GstBaseTransform* trans, GstPadDirection direction, GstCaps* caps) {
  const gboolean accepted =
      GST_BASE_TRANSFORM_CLASS(gst_pellix_convert_parent_class)->accept_caps(trans, direction, caps);
  GstVideoInfo info;
  if (accepted || direction != GST_PAD_SINK || !gst_caps_is_fixed(caps) || !gst_video_info_from_caps(&info, caps)) {
    return accepted;
  }
  if (auto why = pellix::gst::InputColorimetryRefusal(*gst_caps_get_structure(caps, 0), info)) {
    if (StateOf(trans).firstRefusal(*why)) {
      GST_ELEMENT_WARNING(trans, CORE, NEGOTIATION, ("pellixconvert cannot use these caps: %s", why->c_str()),
                          (nullptr));
    }
  }
  return accepted;
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
// answers FALSE and the stream stops not-negotiated. GStreamer asks again for
// the same caps (on every reconfiguration and buffer), and the reason is
// posted once, not once per attempt.
gboolean RefuseCaps(GstVideoFilter* filter, const std::string& why) {
  GST_WARNING_OBJECT(filter, "refusing caps: %s", why.c_str());
  if (StateOf(filter).firstRefusal(why)) {
    GST_ELEMENT_ERROR(filter, CORE, NEGOTIATION, ("pellixconvert cannot use these caps: %s", why.c_str()),
                      (nullptr));
  }
  return FALSE;
}

gboolean ConfigureFor(GstVideoFilter* filter, GstCaps* incaps, GstVideoInfo* inInfo, GstCaps* outcaps,
                      GstVideoInfo* outInfo) {
  const std::optional<PixelFormat> input = pellix::gst::PluginFormatOf(GST_VIDEO_INFO_FORMAT(inInfo));
  const std::optional<PixelFormat> output = pellix::gst::PluginFormatOf(GST_VIDEO_INFO_FORMAT(outInfo));
  if (!input || !output) return RefuseCaps(filter, "a format the plug-in does not convert");
  const int32_t width = GST_VIDEO_INFO_WIDTH(inInfo);
  const int32_t height = GST_VIDEO_INFO_HEIGHT(inInfo);
  if (width != GST_VIDEO_INFO_WIDTH(outInfo) || height != GST_VIDEO_INFO_HEIGHT(outInfo)) {
    return RefuseCaps(filter, "the element converts formats only and does not scale");
  }
  if (GST_VIDEO_INFO_INTERLACE_MODE(inInfo) == GST_VIDEO_INTERLACE_MODE_ALTERNATE) {
    return RefuseCaps(filter, "fields in separate buffers (interlace-mode alternate) are not supported");
  }
  const GstStructure* in = gst_caps_get_structure(incaps, 0);
  const GstStructure* out = gst_caps_get_structure(outcaps, 0);
  if (auto conflict = pellix::gst::ColorimetryRefusal(*in, *inInfo, *out, *outInfo)) {
    return RefuseCaps(filter, *conflict);
  }

  ElementState& state = StateOf(filter);
  GstBaseTransform* trans = GST_BASE_TRANSFORM(filter);
  if (*input == *output) {
    // BGRA read as BGRx is the same bytes; the other way every alpha byte
    // would have to become 255, which is not a conversion of the plug-in.
    if (GST_VIDEO_INFO_FORMAT(inInfo) == GST_VIDEO_FORMAT_BGRx && GST_VIDEO_INFO_FORMAT(outInfo) == GST_VIDEO_FORMAT_BGRA) {
      return RefuseCaps(filter, "BGRx to BGRA is not a conversion of the plug-in (alpha would have to be set)");
    }
    state.configure(std::nullopt);
    state.forgetRefusal();
    gst_base_transform_set_passthrough(trans, TRUE);
    return TRUE;
  }
  if (auto refusal = pellix::gst::SizeRefusal(*input, *output, width, height)) return RefuseCaps(filter, *refusal);
  try {
    state.configure(pellix::gst::ConversionFormats{*input, *output, width, height});
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
