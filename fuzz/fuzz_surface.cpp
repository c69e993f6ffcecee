// libFuzzer entry for the surface harness (surface_harness.h): a fault the harness
// describes, like one the sanitizers or a guard page catch, ends the run.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/surface_harness.h"
#include "fuzz/plugin_once.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Loaded before the first input, so the plug-in's coverage counters are
  // known from the start.
  pellix::fuzz::FuzzedPluginLibrary();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string problems = pellix::fuzz::RunSurfaceInput(data, size);
  if (!problems.empty()) {
    std::fprintf(stderr, "==pellix== surface fault:\n%s", problems.c_str());
    std::abort();
  }
  return 0;
}
