#include "tests/gst/gst_test_support.h"

#include <gst/app/gstappsink.h>

#include <algorithm>
#include <cstring>
#include <sstream>

#include "formats/frame_rules.h"
#include "gst/format_map.h"
#include "host/conversion_session.h"
#include "host/frame_layout.h"
#include "tests/support/rig/guarded_buffer.h"
#include "host/plugin_library.h"

namespace pellix::gst::testing {
namespace {

// The plug-in's plane `index` (Y, U, V; the only plane of a packed format)
// of a mapped frame, through GStreamer's component API.
struct PlaneRef {
  uint8_t* data;
  int pitch;
};

PlaneRef PlaneOf(const GstVideoFrame& frame, int index) {
  if (GST_VIDEO_FRAME_N_PLANES(&frame) == 1) {
    return {static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)), GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0)};
  }
  return {static_cast<uint8_t*>(GST_VIDEO_FRAME_COMP_DATA(&frame, index)), GST_VIDEO_FRAME_COMP_STRIDE(&frame, index)};
}

// The bytes that carry pixels, per plane: the plug-in's own description.
FrameLayout PixelLayout(const GstVideoInfo& info) {
  const PixelFormat format = *PluginFormatOf(GST_VIDEO_INFO_FORMAT(&info));
  const int width = GST_VIDEO_INFO_WIDTH(&info);
  return LayoutFor(format, width, GST_VIDEO_INFO_HEIGHT(&info), TightStride(format, width));
}

class MappedFrame {
 public:
  MappedFrame(GstBuffer* buffer, const GstVideoInfo& info, GstMapFlags flags) {
    GstVideoInfo copy = info;
    mapped_ = gst_video_frame_map(&frame_, &copy, buffer, flags);
  }
  ~MappedFrame() {
    if (mapped_) gst_video_frame_unmap(&frame_);
  }
  MappedFrame(const MappedFrame&) = delete;
  MappedFrame& operator=(const MappedFrame&) = delete;
  bool ok() const { return mapped_; }
  GstVideoFrame& get() { return frame_; }

 private:
  GstVideoFrame frame_{};
  bool mapped_ = false;
};

uint64_t Mix(uint64_t x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdULL;
  x ^= x >> 33;
  return x;
}

std::vector<std::string> TakeMessages(GstBus* bus, GstMessageType type) {
  std::vector<std::string> texts;
  while (GstMessage* message = gst_bus_pop_filtered(bus, type)) {
    GError* error = nullptr;
    gchar* debug = nullptr;
    if (type == GST_MESSAGE_ERROR) {
      gst_message_parse_error(message, &error, &debug);
    } else {
      gst_message_parse_warning(message, &error, &debug);
    }
    texts.push_back(std::string(error != nullptr ? error->message : "") + " | " + (debug != nullptr ? debug : ""));
    g_clear_error(&error);
    g_free(debug);
    gst_message_unref(message);
  }
  return texts;
}

}  // namespace

GstVideoInfo VideoInfo(GstVideoFormat format, int width, int height) {
  GstVideoInfo info;
  gst_video_info_init(&info);
  EXPECT_TRUE(gst_video_info_set_format(&info, format, width, height));
  return info;
}

GstVideoInfo VideoInfoOf(GstCaps* caps) {
  GstVideoInfo info;
  gst_video_info_init(&info);
  EXPECT_TRUE(caps != nullptr && gst_video_info_from_caps(&info, caps));
  return info;
}

GstVideoFormat GstFormat(PixelFormat format) { return GstFormatOf(format); }

std::string CapsText(const char* format, int width, int height, const char* extra) {
  return std::string("video/x-raw,format=") + format + ",width=" + std::to_string(width) +
         ",height=" + std::to_string(height) + ",framerate=30/1" + extra;
}

GstBuffer* VideoBuffer(const char* format, int width, int height, uint64_t seed) {
  GstVideoInfo info = VideoInfo(gst_video_format_from_string(format), width, height);
  return MakeVideoBuffer(info, seed);
}

GstBuffer* MakeVideoBuffer(GstVideoInfo& info, uint64_t seed, int padding) {
  if (padding > 0) {
    // Wider strides, odd ones included, and planes placed one after the
    // other with a gap between them.
    gsize offset = 0;
    for (guint p = 0; p < GST_VIDEO_INFO_N_PLANES(&info); ++p) {
      const int rows = GST_VIDEO_FORMAT_INFO_SCALE_HEIGHT(info.finfo, p, GST_VIDEO_INFO_HEIGHT(&info));
      info.stride[p] += padding + static_cast<int>(p);
      info.offset[p] = offset;
      offset += static_cast<gsize>(info.stride[p]) * rows + 16;
    }
    info.size = offset;
  }
  auto* memory = new GuardedBuffer(info.size);
  uint8_t* bytes = memory->data();
  for (gsize i = 0; i < info.size; ++i) bytes[i] = static_cast<uint8_t>(Mix(seed * 0x9e3779b97f4a7c15ULL + i));
  GstBuffer* buffer = gst_buffer_new_wrapped_full(static_cast<GstMemoryFlags>(0), bytes, info.size, 0, info.size,
                                                  memory, [](gpointer m) { delete static_cast<GuardedBuffer*>(m); });
  if (padding > 0) {
    gst_buffer_add_video_meta_full(buffer, GST_VIDEO_FRAME_FLAG_NONE, GST_VIDEO_INFO_FORMAT(&info),
                                   GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info),
                                   GST_VIDEO_INFO_N_PLANES(&info), info.offset, info.stride);
  }
  return buffer;
}

namespace {

// Copies every sample of `to`'s size from `from`, a sample past `from`'s
// last column or row taking the last one: a frame made larger with its edge
// repeated, or a larger one cropped. Units are planar samples, BGRA pixels
// and 4:2:2 macropixels; a 4:2:2 row of odd width ends on a whole
// macropixel whose second luma sample repeats the first.
void ResampleEdges(GstVideoFrame& from, GstVideoFrame& to) {
  const bool planar = GST_VIDEO_FRAME_N_PLANES(&to) > 1;
  const bool packed422 = !planar && GST_VIDEO_FORMAT_INFO_IS_YUV(to.info.finfo);
  const auto units = [&](GstVideoFrame& frame, guint plane) {
    const int width = GST_VIDEO_FRAME_WIDTH(&frame);
    return planar ? GST_VIDEO_FRAME_COMP_WIDTH(&frame, plane) : packed422 ? (width + 1) / 2 : width;
  };
  const int unitBytes = planar ? 1 : 4;
  for (guint p = 0; p < GST_VIDEO_FRAME_N_PLANES(&to); ++p) {
    const guint component = planar ? p : 0;
    const int fromUnits = units(from, component);
    const int fromRows = GST_VIDEO_FRAME_COMP_HEIGHT(&from, component);
    const PlaneRef source = PlaneOf(from, static_cast<int>(component));
    const PlaneRef target = PlaneOf(to, static_cast<int>(component));
    for (int y = 0; y < GST_VIDEO_FRAME_COMP_HEIGHT(&to, component); ++y) {
      const uint8_t* row = source.data + std::min(y, fromRows - 1) * source.pitch;
      uint8_t* out = target.data + y * target.pitch;
      for (int x = 0; x < units(to, component); ++x) {
        std::memcpy(out + x * unitBytes, row + std::min(x, fromUnits - 1) * unitBytes, unitBytes);
      }
      const int fromWidth = GST_VIDEO_FRAME_WIDTH(&from);
      if (packed422 && fromWidth % 2 != 0 && GST_VIDEO_FRAME_WIDTH(&to) > fromWidth) {
        const int luma = GST_VIDEO_FORMAT_INFO_POFFSET(to.info.finfo, 0);  // 0 for YUY2, 1 for UYVY
        out[2 * fromWidth + luma] = out[2 * (fromWidth - 1) + luma];
      }
    }
  }
}

GstBuffer* Resampled(GstBuffer* buffer, const GstVideoInfo& info, const GstVideoInfo& target) {
  GstBuffer* result = gst_buffer_new_allocate(nullptr, target.size, nullptr);
  gst_buffer_memset(result, 0, 0, target.size);
  MappedFrame from(buffer, info, GST_MAP_READ);
  MappedFrame to(result, target, GST_MAP_WRITE);
  EXPECT_TRUE(from.ok() && to.ok());
  if (from.ok() && to.ok()) ResampleEdges(from.get(), to.get());
  return result;
}

}  // namespace

GstBuffer* ReferenceConversion(GstBuffer* input, const GstVideoInfo& info, GstVideoFormat output) {
  const int width = GST_VIDEO_INFO_WIDTH(&info);
  const int height = GST_VIDEO_INFO_HEIGHT(&info);
  const bool planarSide = GST_VIDEO_INFO_N_PLANES(&info) > 1 || GST_VIDEO_FORMAT_INFO_N_PLANES(gst_video_format_get_info(output)) > 1;
  if (planarSide && (width % 2 != 0 || height % 2 != 0)) {
    // GStreamer's odd 4:2:0 frame is the even frame one pixel larger with
    // its last column and row repeated, cropped: every sample it holds,
    // the last chroma column and row included, converts as in that frame.
    const GstVideoInfo even = VideoInfo(GST_VIDEO_INFO_FORMAT(&info), width + (width & 1), height + (height & 1));
    GstBuffer* larger = Resampled(input, info, even);
    GstBuffer* converted = ReferenceConversion(larger, even, output);
    GstBuffer* result = Resampled(converted, VideoInfo(output, GST_VIDEO_INFO_WIDTH(&even), GST_VIDEO_INFO_HEIGHT(&even)),
                                  VideoInfo(output, width, height));
    gst_buffer_unref(larger);
    gst_buffer_unref(converted);
    return result;
  }
  MappedFrame source(input, info, GST_MAP_READ);
  EXPECT_TRUE(source.ok());
  const PixelFormat from = *PluginFormatOf(GST_VIDEO_INFO_FORMAT(&info));
  const PixelFormat to = *PluginFormatOf(output);
  SessionOptions options;
  options.inputFormat = FormatName(from);
  options.outputFormat = FormatName(to);
  options.width = GST_VIDEO_INFO_WIDTH(&info);
  options.height = GST_VIDEO_INFO_HEIGHT(&info);
  // One stride for both sides, whatever their formats: the plug-in's
  // repacking pairs refuse frames of different strides. It is the planar
  // one (a multiple of 4) so that a planar side's chroma planes never
  // overlap.
  options.sourceStride = static_cast<int32_t>(RoundUpToPlanarStride(options.width));
  options.outputFrames.stride = options.sourceStride;
  options.fill = [&source](HostFrame& frame, const FrameLayout& layout, uint64_t) {
    for (int i = 0; i < layout.planeCount; ++i) {
      const PlaneRef plane = PlaneOf(source.get(), i);
      CopyPlaneIntoFrame(plane.data, static_cast<uint64_t>(plane.pitch), frame.data(), layout.planes[i]);
    }
  };
  static const auto library = std::make_shared<const PluginLibrary>(PluginLibrary::defaultPath());
  auto ledger = std::make_shared<FrameLedger>();
  GstVideoInfo outInfo = VideoInfo(output, options.width, options.height);
  GstBuffer* result = gst_buffer_new_allocate(nullptr, outInfo.size, nullptr);
  {
    ConversionSession session(library, options, ledger);
    FrameRef converted = session.pull();
    const FrameLayout layout = session.outputLayout(*converted);
    FrameLock pixels(*converted);
    MappedFrame destination(result, outInfo, GST_MAP_WRITE);
    EXPECT_TRUE(destination.ok());
    for (int i = 0; i < layout.planeCount; ++i) {
      const PlaneRef plane = PlaneOf(destination.get(), i);
      CopyPlaneOutOfFrame(pixels.data(), layout.planes[i], plane.data, static_cast<uint64_t>(plane.pitch));
    }
  }
  EXPECT_TRUE(ledger->report().clean()) << ledger->report().describe();
  return result;
}

::testing::AssertionResult SamePixels(GstBuffer* actual, const GstVideoInfo& actualInfo, GstBuffer* expected,
                                      const GstVideoInfo& expectedInfo) {
  if (GST_VIDEO_INFO_FORMAT(&actualInfo) != GST_VIDEO_INFO_FORMAT(&expectedInfo) ||
      GST_VIDEO_INFO_WIDTH(&actualInfo) != GST_VIDEO_INFO_WIDTH(&expectedInfo) ||
      GST_VIDEO_INFO_HEIGHT(&actualInfo) != GST_VIDEO_INFO_HEIGHT(&expectedInfo)) {
    return ::testing::AssertionFailure() << "different formats or sizes";
  }
  MappedFrame a(actual, actualInfo, GST_MAP_READ);
  MappedFrame b(expected, expectedInfo, GST_MAP_READ);
  if (!a.ok() || !b.ok()) return ::testing::AssertionFailure() << "cannot map the buffers";
  const FrameLayout layout = PixelLayout(actualInfo);
  uint64_t differing = 0;
  std::ostringstream first;
  for (int i = 0; i < layout.planeCount; ++i) {
    const PlaneRef pa = PlaneOf(a.get(), i);
    const PlaneRef pb = PlaneOf(b.get(), i);
    // GStreamer's planes: ceil(w/2) x ceil(h/2) chroma samples.
    const bool planar = layout.planeCount > 1;
    const uint64_t rows = planar ? GST_VIDEO_FRAME_COMP_HEIGHT(&a.get(), i) : layout.planes[i].rows;
    const uint64_t rowBytes = planar ? GST_VIDEO_FRAME_COMP_WIDTH(&a.get(), i) : layout.planes[i].rowBytes;
    for (uint64_t row = 0; row < rows; ++row) {
      for (uint64_t x = 0; x < rowBytes; ++x) {
        const int va = pa.data[row * pa.pitch + x];
        const int vb = pb.data[row * pb.pitch + x];
        if (va == vb) continue;
        if (differing++ == 0) first << "plane " << i << " row " << row << " byte " << x << ": " << va << " vs " << vb;
      }
    }
  }
  if (differing == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differing << " bytes differ, first at " << first.str();
}

std::vector<std::string> TakeErrors(GstBus* bus) { return TakeMessages(bus, GST_MESSAGE_ERROR); }
std::vector<std::string> TakeWarnings(GstBus* bus) { return TakeMessages(bus, GST_MESSAGE_WARNING); }

bool AnyContains(const std::vector<std::string>& texts, const std::string& part) {
  for (const std::string& text : texts) {
    if (text.find(part) != std::string::npos) return true;
  }
  return false;
}

Harness::Harness(const char* downstream)
    : harness_(gst_harness_new("pellixconvert")),
      element_(GST_ELEMENT(gst_object_ref(harness_->element))),
      bus_(gst_bus_new()) {
  gst_element_set_bus(element_, bus_);
  if (downstream != nullptr) gst_harness_set_sink_caps_str(harness_, downstream);
}

Harness::~Harness() {
  tearDown();
  gst_object_unref(element_);
  gst_object_unref(bus_);
}

void Harness::tearDown() {
  if (tornDown_) return;
  tornDown_ = true;
  gst_harness_teardown(harness_);
}

bool Harness::setInput(const std::string& caps) {
  if (!gst_harness_push_event(harness_, gst_event_new_caps(gst_caps_from_string(caps.c_str())))) return false;
  GstSegment segment;
  gst_segment_init(&segment, GST_FORMAT_TIME);
  return gst_harness_push_event(harness_, gst_event_new_segment(&segment));
}

void Harness::setDownstream(const char* caps) { gst_harness_set_sink_caps_str(harness_, caps); }

GstFlowReturn Harness::push(GstBuffer* buffer) { return gst_harness_push(harness_, buffer); }

bool Harness::pushEvent(GstEvent* event) { return gst_harness_push_event(harness_, event); }

GstBuffer* Harness::tryPull() { return gst_harness_try_pull(harness_); }

GstCaps* Harness::outputCaps() const { return gst_pad_get_current_caps(harness_->sinkpad); }

::testing::AssertionResult ConvertsAsTheReference(Harness& harness, GstBuffer* input, const GstVideoInfo& info,
                                                  GstVideoFormat output) {
  GstBuffer* expected = ReferenceConversion(input, info, output);
  const GstFlowReturn flow = harness.push(input);
  GstBuffer* converted = flow == GST_FLOW_OK ? harness.tryPull() : nullptr;
  ::testing::AssertionResult result = ::testing::AssertionFailure();
  if (flow != GST_FLOW_OK) {
    result << "the push answered " << gst_flow_get_name(flow) << ": "
           << ::testing::PrintToString(TakeErrors(harness.bus()));
  } else if (converted == nullptr) {
    result << "the element sent no buffer on";
  } else {
    GstCaps* caps = harness.outputCaps();
    const GstVideoInfo convertedInfo = VideoInfoOf(caps);
    gst_caps_unref(caps);
    result = SamePixels(converted, convertedInfo, expected,
                        VideoInfo(output, GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info)));
    gst_buffer_unref(converted);
  }
  gst_buffer_unref(expected);
  return result;
}

Pipeline::Pipeline(const std::string& description) {
  GError* error = nullptr;
  pipeline_ = gst_parse_launch(description.c_str(), &error);
  EXPECT_EQ(error, nullptr) << (error != nullptr ? error->message : "") << " in " << description;
  g_clear_error(&error);
}

Pipeline::~Pipeline() {
  stop();
  for (GstSample* sample : samples_) gst_sample_unref(sample);
  if (pipeline_ != nullptr) gst_object_unref(pipeline_);
}

void Pipeline::stop() {
  if (pipeline_ != nullptr) gst_element_set_state(pipeline_, GST_STATE_NULL);
}

std::string Pipeline::run(int timeoutSeconds) {
  if (pipeline_ == nullptr) return "no pipeline";
  if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    GstBus* bus = gst_element_get_bus(pipeline_);
    const std::vector<std::string> errors = TakeErrors(bus);
    gst_object_unref(bus);
    return errors.empty() ? "state change to PLAYING failed" : errors.front();
  }
  GstBus* bus = gst_element_get_bus(pipeline_);
  GstMessage* message = gst_bus_timed_pop_filtered(bus, static_cast<GstClockTime>(timeoutSeconds) * GST_SECOND,
                                                   static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  std::string result;
  if (message == nullptr) {
    result = "timed out after " + std::to_string(timeoutSeconds) + " s";
  } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    result = error != nullptr ? error->message : "error";
    g_clear_error(&error);
  }
  if (message != nullptr) gst_message_unref(message);
  gst_object_unref(bus);
  return result;
}

GstElement* Pipeline::element(const char* name) const { return gst_bin_get_by_name(GST_BIN(pipeline_), name); }

std::vector<GstSample*> Pipeline::drain(const char* appsinkName) {
  std::vector<GstSample*> pulled;
  GstElement* sink = element(appsinkName);
  EXPECT_NE(sink, nullptr) << appsinkName;
  if (sink != nullptr) {
    while (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 0)) pulled.push_back(sample);
    gst_object_unref(sink);
  }
  samples_.insert(samples_.end(), pulled.begin(), pulled.end());
  return pulled;
}

GstElement* ElementTest::watch(GstElement* element) {
  watched_.push_back(GST_ELEMENT(gst_object_ref(element)));
  return element;
}

void ElementTest::TearDown() {
  for (GstElement* element : watched_) {
    GstState state = GST_STATE_VOID_PENDING;
    gst_element_get_state(element, &state, nullptr, 0);
    EXPECT_EQ(state, GST_STATE_NULL) << GST_ELEMENT_NAME(element) << " was not taken back to NULL";
    const ElementReport report = ReportOf(element);
    EXPECT_TRUE(report.frames.clean()) << GST_ELEMENT_NAME(element) << ": " << report.frames.describe();
    EXPECT_FALSE(report.componentLive) << GST_ELEMENT_NAME(element) << " still holds a component";
    gst_object_unref(element);
  }
  watched_.clear();
}

}  // namespace pellix::gst::testing
