// The GStreamer element "pellixconvert": a GstVideoFilter that converts raw
// video between I420, YV12, YUY2, UYVY and BGRA by hosting the Pellix plug-in
// through the reference host. Property "plugin-path" names the plug-in
// library (default: the one built with this tree, or $PELLIX_PLUGIN).
#pragma once

#include <gst/gst.h>

#include <cstdint>

#include "host/frame_ledger.h"

namespace pellix::gst {

// Registers "pellixconvert" with a plug-in being loaded.
gboolean RegisterElement(GstPlugin* plugin);

// What an element has done with the plug-in, for tests: the ledger of every
// frame it handed over, how many components it made, and whether one is
// alive now.
struct ElementReport {
  LedgerReport frames;
  uint64_t componentsMade = 0;
  bool componentLive = false;
};
// `element` must be a pellixconvert.
ElementReport ReportOf(GstElement* element);

}  // namespace pellix::gst
