// Whole pipelines, built from gst-launch descriptions through the API so
// that each element's frame ledger can be read after the pipeline stops.
#include <glib/gstdio.h>

#include <cmath>
#include <iostream>

#include "tests/gst/gst_test_support.h"

namespace pellix::gst::testing {
namespace {

class Pipelines : public ElementTest {
 protected:
  // Runs `description` to EOS and watches the named pellixconvert elements.
  void RunToEnd(Pipeline& pipeline, std::initializer_list<const char*> elements, const std::string& description) {
    for (const char* name : elements) {
      GstElement* element = pipeline.element(name);
      ASSERT_NE(element, nullptr) << name;
      watch(element);
      gst_object_unref(element);
    }
    const std::string error = pipeline.run();
    ASSERT_EQ(error, "") << description;
  }

  // The buffers and caps of the samples an appsink collected.
  static GstVideoInfo InfoOf(GstSample* sample) { return VideoInfoOf(gst_sample_get_caps(sample)); }
};

struct Shape {
  const char* input;
  const char* output;
};

// 60 frames of 1280x720: converted in place in GStreamer's buffers.
TEST_F(Pipelines, SixtyHdFramesEachWay) {
  for (const Shape& shape : {Shape{"I420", "BGRA"}, Shape{"BGRA", "I420"}}) {
    const std::string description = std::string("videotestsrc num-buffers=60 ! video/x-raw,format=") + shape.input +
                                    ",width=1280,height=720 ! pellixconvert name=p ! video/x-raw,format=" +
                                    shape.output + " ! fakesink name=sink";
    SCOPED_TRACE(description);
    Pipeline pipeline(description);
    RunToEnd(pipeline, {"p"}, description);
    pipeline.stop();
    const ElementReport report = ReportOf(watch(pipeline.element("p")));
    gst_object_unref(pipeline.element("p"));
    EXPECT_EQ(report.frames.handedOut, 120u) << "each buffer wrapped, no copies";
  }
}

struct Outset {
  const char* description;  // the element is named p
  const char* reason;       // in the element's one error; null: runs to its end
};

const Outset kOutsets[] = {
    {"videotestsrc num-buffers=3 ! video/x-raw,format=BGRA,width=33,height=7 ! pellixconvert name=p"
     " ! video/x-raw,format=YUY2 ! fakesink",
     "BGRA at 33x7 has no YUY2 frame"},
    {"videotestsrc num-buffers=3 ! video/x-raw,format=I420,width=1280,height=720,colorimetry=bt709"
     " ! pellixconvert name=p ! video/x-raw,format=BGRA ! fakesink",
     "input colorimetry bt709 cannot be converted"},
    {"videotestsrc num-buffers=3 ! video/x-raw,format=BGRA,width=64,height=48 ! pellixconvert name=p"
     " ! video/x-raw,format=I420,colorimetry=bt709 ! fakesink",
     "downstream asks for colorimetry bt709"},
    {"videotestsrc num-buffers=3 ! video/x-raw,format=I420,colorimetry=bt709 ! pellixconvert name=p"
     " ! video/x-raw,format=BGRA ! fakesink",
     "none of the caps upstream offers converts"},
    // Open sizes are upstream's to choose (here 320x240), so negotiation judges them.
    {"videotestsrc num-buffers=3 ! video/x-raw,format=BGRA ! pellixconvert name=p ! video/x-raw,format=YUY2"
     " ! fakesink",
     nullptr},
    {"videotestsrc num-buffers=3 ! video/x-raw,format=BGRA,width=33,height=7 ! pellixconvert name=p"
     " ! video/x-raw,format={YUY2,I420} ! fakesink",
     nullptr},
    {"videotestsrc num-buffers=3 ! video/x-raw,format=I420,width=641,height=481 ! pellixconvert name=p"
     " ! video/x-raw,format=BGRA ! fakesink",
     nullptr},
    {"videotestsrc num-buffers=3 ! video/x-raw,format=YUY2,width=33,height=7 ! pellixconvert name=p ! fakesink",
     nullptr},
};

// A refusal upstream's and downstream's caps already decide fails the state
// change to PAUSED, before any streaming thread runs, with the element's
// error the only one (an application that has not started its main loop
// yet can lose errors posted from streaming threads), at every start.
TEST_F(Pipelines, RefusalsTheCapsDecideFailTheStateChangeToPaused) {
  for (const Outset& outset : kOutsets) {
    SCOPED_TRACE(outset.description);
    Pipeline pipeline(outset.description);
    GstElement* element = pipeline.element("p");
    ASSERT_NE(element, nullptr);
    watch(element);
    gst_object_unref(element);
    const GstStateChangeReturn change = gst_element_set_state(pipeline.get(), GST_STATE_PAUSED);
    if (outset.reason == nullptr) {
      EXPECT_NE(change, GST_STATE_CHANGE_FAILURE);
      EXPECT_EQ(pipeline.run(), "");
      continue;
    }
    // A second start fails the same way, and says why again.
    for (int attempt = 0; attempt < 2; ++attempt) {
      if (attempt > 0) {
        EXPECT_EQ(gst_element_set_state(pipeline.get(), GST_STATE_PAUSED), GST_STATE_CHANGE_FAILURE);
      } else {
        EXPECT_EQ(change, GST_STATE_CHANGE_FAILURE);
      }
      GstBus* bus = gst_element_get_bus(pipeline.get());
      const std::vector<std::string> errors = TakeErrors(bus);
      gst_object_unref(bus);
      EXPECT_EQ(errors.size(), 1u) << "attempt " << attempt << ": " << ::testing::PrintToString(errors);
      EXPECT_TRUE(AnyContains(errors, outset.reason)) << ::testing::PrintToString(errors);
    }
  }
}

// Two elements on two streaming threads (split by a queue); the final frames
// equal the reference host's two conversions of the source frame.
TEST_F(Pipelines, TwoElementsOnTwoThreads) {
  const char* source = "videotestsrc num-buffers=20 pattern=smpte ! video/x-raw,format=I420,width=320,height=180";
  const std::string description = std::string(source) +
                                  " ! pellixconvert name=first ! video/x-raw,format=YUY2 ! queue"
                                  " ! pellixconvert name=second ! video/x-raw,format=BGRA ! appsink name=out sync=false wait-on-eos=false";
  Pipeline pipeline(description);
  RunToEnd(pipeline, {"first", "second"}, description);
  const std::vector<GstSample*> converted = pipeline.drain("out");
  ASSERT_EQ(converted.size(), 20u);

  Pipeline reference(std::string(source) + " ! appsink name=out sync=false wait-on-eos=false");
  ASSERT_EQ(reference.run(), "");
  const std::vector<GstSample*> originals = reference.drain("out");
  ASSERT_EQ(originals.size(), 20u);
  for (size_t i = 0; i < converted.size(); i += 7) {
    const GstVideoInfo inInfo = InfoOf(originals[i]);
    GstBuffer* packed = ReferenceConversion(gst_sample_get_buffer(originals[i]), inInfo, GST_VIDEO_FORMAT_YUY2);
    GstBuffer* expected =
        ReferenceConversion(packed, VideoInfo(GST_VIDEO_FORMAT_YUY2, 320, 180), GST_VIDEO_FORMAT_BGRA);
    EXPECT_TRUE(SamePixels(gst_sample_get_buffer(converted[i]), InfoOf(converted[i]), expected,
                           VideoInfo(GST_VIDEO_FORMAT_BGRA, 320, 180)))
        << "frame " << i;
    gst_buffer_unref(packed);
    gst_buffer_unref(expected);
  }
}

// Peak signal-to-noise ratio of the colour bytes of two BGRA buffers of
// GStreamer's default layout.
double Psnr(GstBuffer* a, GstBuffer* b) {
  GstMapInfo ma;
  GstMapInfo mb;
  gst_buffer_map(a, &ma, GST_MAP_READ);
  gst_buffer_map(b, &mb, GST_MAP_READ);
  double squares = 0;
  size_t samples = 0;
  for (size_t i = 0; i < ma.size && i < mb.size; ++i) {
    if (i % 4 == 3) continue;  // alpha
    const double d = static_cast<double>(ma.data[i]) - mb.data[i];
    squares += d * d;
    ++samples;
  }
  gst_buffer_unmap(a, &ma);
  gst_buffer_unmap(b, &mb);
  const double mse = samples != 0 ? squares / static_cast<double>(samples) : 0;
  return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// BGRA frames converted to I420, encoded as JPEG in an AVI file, then decoded
// by decodebin and converted back to BGRA: every frame comes back, of the
// same size, and differs from the same two conversions without the file by
// JPEG's loss only. (At quality 95 that stays above 35 dB; a swapped or
// shifted plane falls below 15.)
TEST_F(Pipelines, FileRoundTripDecodesWhatItEncoded) {
  gchar* folder = g_dir_make_tmp("pellix-gst-XXXXXX", nullptr);
  ASSERT_NE(folder, nullptr);
  const std::string file = std::string(folder) + "/clip.avi";
  const char* source =
      "videotestsrc num-buffers=10 pattern=smpte75 ! video/x-raw,format=BGRA,width=320,height=240,framerate=25/1";
  {
    const std::string encode = std::string(source) +
                               " ! pellixconvert name=encoder ! video/x-raw,format=I420 ! jpegenc quality=95 ! avimux"
                               " ! filesink location=" + file;
    Pipeline pipeline(encode);
    RunToEnd(pipeline, {"encoder"}, encode);
  }
  Pipeline original(std::string(source) + " ! appsink name=out sync=false wait-on-eos=false");
  ASSERT_EQ(original.run(), "");
  const std::vector<GstSample*> originals = original.drain("out");

  const std::string decode = "filesrc location=" + file +
                             // jpegdec labels its YUV full range; the samples are the
                             // video-range ones the encoder was given, and the
                             // element refuses to convert caps that say otherwise.
                             " ! decodebin ! capssetter caps=video/x-raw,colorimetry=bt601"
                             " ! pellixconvert name=decoder ! video/x-raw,format=BGRA"
                             " ! appsink name=out sync=false wait-on-eos=false";
  Pipeline pipeline(decode);
  RunToEnd(pipeline, {"decoder"}, decode);
  const std::vector<GstSample*> decoded = pipeline.drain("out");
  ASSERT_EQ(decoded.size(), originals.size());
  const GstVideoInfo bgra = VideoInfo(GST_VIDEO_FORMAT_BGRA, 320, 240);
  for (size_t i = 0; i < decoded.size(); ++i) {
    const GstVideoInfo info = InfoOf(decoded[i]);
    EXPECT_EQ(GST_VIDEO_INFO_WIDTH(&info), 320);
    EXPECT_EQ(GST_VIDEO_INFO_HEIGHT(&info), 240);
    GstBuffer* planar = ReferenceConversion(gst_sample_get_buffer(originals[i]), bgra, GST_VIDEO_FORMAT_I420);
    GstBuffer* expected = ReferenceConversion(planar, VideoInfo(GST_VIDEO_FORMAT_I420, 320, 240), GST_VIDEO_FORMAT_BGRA);
    const double psnr = Psnr(gst_sample_get_buffer(decoded[i]), expected);
    EXPECT_GT(psnr, 35.0) << "frame " << i;
    if (i == 0) std::cout << "JPEG round trip: " << psnr << " dB PSNR against the same conversions without the file\n";
    gst_buffer_unref(planar);
    gst_buffer_unref(expected);
  }
  g_remove(file.c_str());
  g_rmdir(folder);
  g_free(folder);
}

}  // namespace
}  // namespace pellix::gst::testing
