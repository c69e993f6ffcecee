// The element's life with the plug-in: loading it on the way to READY, a
// conversion the plug-in refuses, and flushing, EOS and NULL giving up every
// frame, port and component.
#include <glib/gstdio.h>

#include <fstream>

#include "host/plugin_library.h"
#include "tests/gst/gst_test_support.h"

namespace pellix::gst::testing {
namespace {

class Lifecycle : public ElementTest {
 protected:
  // One buffer in, its conversion out.
  void Convert(Harness& harness, const char* format, uint64_t seed) {
    ASSERT_EQ(harness.push(VideoBuffer(format, 32, 16, seed)), GST_FLOW_OK);
    GstBuffer* output = harness.tryPull();
    ASSERT_NE(output, nullptr);
    gst_buffer_unref(output);
  }
};

TEST_F(Lifecycle, PluginPathDefaultsToTheBuiltLibraryAndFollowsTheEnvironment) {
  GstElement* element = gst_element_factory_make("pellixconvert", nullptr);
  gchar* path = nullptr;
  g_object_get(element, "plugin-path", &path, nullptr);
  EXPECT_STREQ(path, PluginLibrary::defaultPath().c_str());
  g_free(path);
  gst_object_unref(element);

  g_setenv("PELLIX_PLUGIN", "/elsewhere/libpellix_color_transform.so", TRUE);
  element = gst_element_factory_make("pellixconvert", nullptr);
  g_unsetenv("PELLIX_PLUGIN");
  g_object_get(element, "plugin-path", &path, nullptr);
  EXPECT_STREQ(path, "/elsewhere/libpellix_color_transform.so");
  g_free(path);
  gst_object_unref(element);
}

TEST_F(Lifecycle, AnUnusablePluginLibraryFailsTheChangeToReadyNamingPathAndReason) {
  gchar* folder = g_dir_make_tmp("pellix-gst-XXXXXX", nullptr);
  ASSERT_NE(folder, nullptr);
  const std::string notALibrary = std::string(folder) + "/not-a-library.so";
  std::ofstream(notALibrary) << "plain text\n";
  struct Case {
    std::string path;
    const char* reason;
  };
  const Case cases[] = {
      {std::string(folder) + "/missing.so", "No such file or directory"},
      {notALibrary, "cannot load plug-in"},
      // A real shared library, but GStreamer's module of this element, not a
      // plug-in of the host SDK.
      {PELLIX_GST_MODULE_PATH, "does not export _getPlugin"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    GstElement* element = watch(gst_element_factory_make("pellixconvert", nullptr));
    GstBus* bus = gst_bus_new();
    gst_element_set_bus(element, bus);
    g_object_set(element, "plugin-path", c.path.c_str(), nullptr);
    EXPECT_EQ(gst_element_set_state(element, GST_STATE_READY), GST_STATE_CHANGE_FAILURE);
    const std::vector<std::string> errors = TakeErrors(bus);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(AnyContains(errors, "Could not load the Pellix plug-in library \"" + c.path + "\"")) << errors[0];
    EXPECT_TRUE(AnyContains(errors, c.reason)) << errors[0];
    gst_element_set_state(element, GST_STATE_NULL);
    gst_object_unref(bus);
    gst_object_unref(element);
  }
  g_remove(notALibrary.c_str());
  g_rmdir(folder);
  g_free(folder);
}

TEST_F(Lifecycle, EosAndFlushingGiveUpTheComponentAndTheNextBufferMakesItAgain) {
  Harness harness("video/x-raw,format=UYVY");
  watch(harness.element());
  ASSERT_TRUE(harness.setInput(CapsText("I420", 32, 16)));
  Convert(harness, "I420", 1);
  EXPECT_TRUE(ReportOf(harness.element()).componentLive);

  ASSERT_TRUE(harness.pushEvent(gst_event_new_eos()));
  ElementReport report = ReportOf(harness.element());
  EXPECT_FALSE(report.componentLive);
  EXPECT_TRUE(report.frames.clean()) << report.frames.describe();

  ASSERT_TRUE(harness.pushEvent(gst_event_new_flush_start()));
  ASSERT_TRUE(harness.pushEvent(gst_event_new_flush_stop(TRUE)));
  ASSERT_TRUE(harness.setInput(CapsText("I420", 32, 16)));
  Convert(harness, "I420", 2);
  report = ReportOf(harness.element());
  EXPECT_TRUE(report.componentLive);
  EXPECT_EQ(report.componentsMade, 2u);

  ASSERT_TRUE(harness.pushEvent(gst_event_new_flush_start()));
  ASSERT_TRUE(harness.pushEvent(gst_event_new_flush_stop(FALSE)));
  EXPECT_FALSE(ReportOf(harness.element()).componentLive);
  ASSERT_TRUE(harness.setInput(CapsText("I420", 32, 16)));
  Convert(harness, "I420", 3);
  EXPECT_EQ(ReportOf(harness.element()).componentsMade, 3u);
}

TEST_F(Lifecycle, GoingBackToNullReleasesEverything) {
  Harness harness("video/x-raw,format=BGRA");
  watch(harness.element());
  ASSERT_TRUE(harness.setInput(CapsText("YV12", 32, 16)));
  for (uint64_t seed = 1; seed <= 3; ++seed) Convert(harness, "YV12", seed);
  EXPECT_TRUE(ReportOf(harness.element()).componentLive);
  harness.tearDown();
  const ElementReport report = ReportOf(harness.element());
  EXPECT_FALSE(report.componentLive);
  EXPECT_GE(report.frames.handedOut, 6u) << "a source and a destination frame per buffer";
}

}  // namespace
}  // namespace pellix::gst::testing
