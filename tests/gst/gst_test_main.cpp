// GStreamer set up once per test process: a registry of its own in the build
// tree (the user's is never touched and concurrent test processes share one
// cache), no plug-in path from the environment (so no second, installed
// pellixconvert competes), and the element registered statically from its
// module's own entry point.
#include <gst/gst.h>
#include <gtest/gtest.h>

extern "C" void gst_plugin_pellix_register(void);

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  g_setenv("GST_REGISTRY", PELLIX_GST_TEST_REGISTRY, TRUE);
  g_unsetenv("GST_PLUGIN_PATH");
  gst_init(nullptr, nullptr);
  gst_plugin_pellix_register();
  const int status = RUN_ALL_TESTS();
  gst_deinit();
  return status;
}
