// Frames per second of pellixconvert beside videoconvert in the same
// pipeline shape: one 1920x1080 frame made by videotestsrc, repeated by
// imagefreeze (no new pixels per frame), converted, dropped by fakesink
// without clock sync. Time runs from the first converted frame reaching the
// sink to the last, so pipeline set-up is not counted. Then the element's
// band threading (n-threads) at 4K and 8K, as milliseconds per frame.
// Usage: pellix_gst_bench [frames]
#include <gst/gst.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" void gst_plugin_pellix_register(void);

namespace {

struct Timing {
  guint64 frames = 0;
  gint64 first = 0;
  gint64 last = 0;
};

GstPadProbeReturn CountFrame(GstPad*, GstPadProbeInfo*, gpointer data) {
  auto* timing = static_cast<Timing*>(data);
  const gint64 now = g_get_monotonic_time();
  if (timing->frames++ == 0) timing->first = now;
  timing->last = now;
  return GST_PAD_PROBE_OK;
}

// Frames per second, or a negative value when the pipeline failed.
double Run(const std::string& input, const std::string& output, const std::string& converter, int frames,
           int width = 1920, int height = 1080) {
  const std::string description = "videotestsrc num-buffers=1 pattern=smpte ! video/x-raw,format=" + input +
                                  ",width=" + std::to_string(width) + ",height=" + std::to_string(height) +
                                  ",framerate=30/1 ! imagefreeze num-buffers=" +
                                  std::to_string(frames) + " ! " + converter + " ! video/x-raw,format=" + output +
                                  " ! fakesink name=sink sync=false";
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
  if (pipeline == nullptr) {
    std::fprintf(stderr, "%s: %s\n", description.c_str(), error != nullptr ? error->message : "?");
    g_clear_error(&error);
    return -1;
  }
  Timing timing;
  GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
  GstPad* pad = gst_element_get_static_pad(sink, "sink");
  gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, CountFrame, &timing, nullptr);
  gst_object_unref(pad);
  gst_object_unref(sink);
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* message = gst_bus_timed_pop_filtered(bus, 300 * GST_SECOND,
                                                   static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  const bool ok = message != nullptr && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
  if (!ok) std::fprintf(stderr, "%s: failed or timed out\n", description.c_str());
  if (message != nullptr) gst_message_unref(message);
  gst_object_unref(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  if (!ok || timing.frames < 2 || timing.last <= timing.first) return -1;
  return static_cast<double>(timing.frames - 1) * 1e6 / static_cast<double>(timing.last - timing.first);
}

}  // namespace

int main(int argc, char** argv) {
  gst_init(&argc, &argv);
  gst_plugin_pellix_register();
  const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
  struct Case {
    const char* input;
    const char* output;
  };
  const Case cases[] = {{"I420", "BGRA"}, {"BGRA", "I420"}, {"YUY2", "I420"}};
  const char* converters[] = {"pellixconvert", "videoconvert n-threads=1", "videoconvert n-threads=0"};

  std::printf("1920x1080, %d frames per run, frames per second (one run each)\n\n", frames);
  std::printf("| pair | pellixconvert | videoconvert n-threads=1 (default) | videoconvert n-threads=0 (one per core) "
              "| ratio to n-threads=1 | ratio to n-threads=0 | no converter |\n|---|---|---|---|---|---|---|\n");
  int status = 0;
  for (const Case& c : cases) {
    std::vector<double> fps;
    for (const char* converter : converters) fps.push_back(Run(c.input, c.output, converter, frames));
    // The same pipeline without a conversion: what the source and sink cost.
    fps.push_back(Run(c.input, c.input, "identity", frames));
    for (double value : fps) status |= value <= 0 ? 1 : 0;
    std::printf("| %s -> %s | %.1f | %.1f | %.1f | %.2f | %.2f | %.0f |\n", c.input, c.output, fps[0], fps[1],
                fps[2], fps[0] / fps[1], fps[0] / fps[2], fps[3]);
    std::fflush(stdout);
  }

  // Band threading: milliseconds per frame at 4K and 8K, one buffer at a
  // time through the pipeline, so the time per frame is the latency.
  struct Size {
    const char* name;
    int width;
    int height;
    int frames;
  };
  const Size sizes[] = {{"3840x2160", 3840, 2160, std::max(frames / 4, 10)},
                        {"7680x4320", 7680, 4320, std::max(frames / 16, 5)}};
  const char* threads[] = {"pellixconvert n-threads=1", "pellixconvert n-threads=2", "pellixconvert n-threads=0"};
  std::printf("\nmilliseconds per frame, pellixconvert in bands (n-threads), one run each\n\n");
  std::printf("| size | pair | n-threads=1 | n-threads=2 | n-threads=0 (one per core) | speed-up 2 | speed-up 0 |\n"
              "|---|---|---|---|---|---|---|\n");
  for (const Size& size : sizes) {
    for (const Case& c : cases) {
      std::vector<double> ms;
      for (const char* converter : threads) {
        const double fps = Run(c.input, c.output, converter, size.frames, size.width, size.height);
        status |= fps <= 0 ? 1 : 0;
        ms.push_back(fps > 0 ? 1000.0 / fps : -1);
      }
      std::printf("| %s | %s -> %s | %.2f | %.2f | %.2f | %.2f | %.2f |\n", size.name, c.input, c.output, ms[0], ms[1],
                  ms[2], ms[0] / ms[1], ms[0] / ms[2]);
      std::fflush(stdout);
    }
  }
  gst_deinit();
  return status;
}
