// In a file of its own because it holds the build tree's path of the
// plug-in: only programs that ask for the default (tests, benchmarks, fuzz
// targets) link it, so no installed program carries a build path.
#include <cstdlib>

#include "host/plugin_library.h"

namespace pellix {

std::string PluginLibrary::defaultPath() {
  if (const char* env = std::getenv("PELLIX_PLUGIN")) {
    if (*env != '\0') return env;
  }
#ifdef PELLIX_DEFAULT_PLUGIN_PATH
  return PELLIX_DEFAULT_PLUGIN_PATH;
#else
  return "libpellix_color_transform.so";
#endif
}

}  // namespace pellix
