// GStreamer's entry point of the plug-in module libgstpellix.so.
#include <gst/gst.h>

#include "gst/pellix_convert.h"

#define PACKAGE "pellix"

namespace {

gboolean PluginInit(GstPlugin* plugin) { return pellix::gst::RegisterElement(plugin); }

}  // namespace

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, pellix,
                  "Pellix colour transform: the plug-in hosted in GStreamer pipelines", PluginInit,
                  PELLIX_VERSION_TEXT, "MIT/X11", "Pellix", PELLIX_HOMEPAGE_URL)
