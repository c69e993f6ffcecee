// Shared pieces of the pellixconvert tests: video buffers in GStreamer's
// layouts (guarded, or with padded strides through a GstVideoMeta), the
// reference host converting the same pixels, pixel comparison, a harness
// wrapper with its own bus, pipelines run to the end, and a fixture that
// checks the frame ledger of every element a test made.
#pragma once

#include <gst/check/gstharness.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gst/format_map.h"
#include "gst/pellix_convert.h"

namespace pellix::gst::testing {

// A buffer of `info`'s layout whose memory ends at a guard page and holds
// pseudo-random bytes of `seed` (padding included). With `padding` > 0 the
// planes get strides that many bytes wider than GStreamer's own, described
// by a GstVideoMeta, and `info` is updated to match.
GstBuffer* MakeVideoBuffer(GstVideoInfo& info, uint64_t seed, int padding = 0);

// Caps text of raw video at 30 frames per second, `extra` fields appended
// (",colorimetry=bt709").
std::string CapsText(const char* format, int width, int height, const char* extra = "");
// MakeVideoBuffer of GStreamer's own layout for a format named as in caps.
GstBuffer* VideoBuffer(const char* format, int width, int height, uint64_t seed);

GstVideoInfo VideoInfo(GstVideoFormat format, int width, int height);
GstVideoInfo VideoInfoOf(GstCaps* caps);
GstVideoFormat GstFormat(PixelFormat format);

// `input` (of `info`) converted to `output` by the reference host with its
// own frames, delivered in a new buffer of GStreamer's default layout.
GstBuffer* ReferenceConversion(GstBuffer* input, const GstVideoInfo& info, GstVideoFormat output);

// Every pixel byte of the two buffers (plane by plane, padding ignored) is
// equal; otherwise names the first difference.
::testing::AssertionResult SamePixels(GstBuffer* actual, const GstVideoInfo& actualInfo, GstBuffer* expected,
                                      const GstVideoInfo& expectedInfo);

// Error texts (message and debug) posted on a bus, in order, removed from it.
std::vector<std::string> TakeErrors(GstBus* bus);
std::vector<std::string> TakeWarnings(GstBus* bus);
bool AnyContains(const std::vector<std::string>& texts, const std::string& part);

// A GstHarness around one pellixconvert with a bus of its own.
class Harness {
 public:
  // `downstream`: the caps the harness's sink accepts (null: any).
  explicit Harness(const char* downstream = nullptr);
  ~Harness();
  Harness(const Harness&) = delete;
  Harness& operator=(const Harness&) = delete;

  // Announces input caps (caps event, then a segment). Sticky events are
  // kept even when refused: a refusal shows as GST_FLOW_NOT_NEGOTIATED on the
  // next push.
  bool setInput(const std::string& caps);
  void setDownstream(const char* caps);
  GstFlowReturn push(GstBuffer* buffer);
  bool pushEvent(GstEvent* event);
  GstBuffer* tryPull();
  GstCaps* outputCaps() const;  // caps the element sent downstream (ref'd)

  GstHarness* get() const { return harness_; }
  GstElement* element() const { return element_; }
  GstBus* bus() const { return bus_; }
  // Tears the harness down (the element goes to NULL); the element object
  // stays alive for its report.
  void tearDown();

 private:
  GstHarness* harness_;
  GstElement* element_;  // a reference of our own: it outlives tearDown()
  GstBus* bus_;
  bool tornDown_ = false;
};

// A pipeline from a gst-launch description, taken to NULL on destruction.
class Pipeline {
 public:
  explicit Pipeline(const std::string& description);
  ~Pipeline();
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;

  // Plays until EOS or an error (or the timeout); the error text, empty on EOS.
  std::string run(int timeoutSeconds = 30);
  // A new reference to an element of the pipeline by name.
  GstElement* element(const char* name) const;
  // Every sample waiting in the appsink of that name (after run()); the
  // pipeline keeps them until it is destroyed.
  std::vector<GstSample*> drain(const char* appsinkName);
  void stop();
  GstElement* get() const { return pipeline_; }

 private:
  GstElement* pipeline_ = nullptr;
  std::vector<GstSample*> samples_;
};

// Pushes `input` (of `info`, taken over) into the harness, pulls what the
// element sends on and compares it byte for byte with the reference host's
// conversion of the same pixels to `output`.
::testing::AssertionResult ConvertsAsTheReference(Harness& harness, GstBuffer* input, const GstVideoInfo& info,
                                                  GstVideoFormat output);

// Checks after each test that every pellixconvert it watched handed the
// plug-in no frame that was not released exactly once and kept no component.
class ElementTest : public ::testing::Test {
 protected:
  void TearDown() override;
  // Keeps a reference to `element` for the check; returns it.
  GstElement* watch(GstElement* element);

 private:
  std::vector<GstElement*> watched_;
};

}  // namespace pellix::gst::testing
