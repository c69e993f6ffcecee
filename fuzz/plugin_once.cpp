#include "fuzz/plugin_once.h"

namespace pellix::fuzz {

const PluginLibrary& FuzzedPluginLibrary() {
  // Never unloaded: an input that fails must not leave the next one with a
  // library whose code has gone.
  static const PluginLibrary* library = new PluginLibrary(PluginLibrary::defaultPath());
  return *library;
}

}  // namespace pellix::fuzz
