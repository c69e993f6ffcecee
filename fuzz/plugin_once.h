// The plug-in library a fuzzing process drives: loaded once, on first use,
// from PluginLibrary::defaultPath() (the plug-in built with this tree, or
// $PELLIX_PLUGIN), and kept until the process ends. Every input gets its own
// component from it.
#pragma once

#include "host/plugin_library.h"

namespace pellix::fuzz {

const PluginLibrary& FuzzedPluginLibrary();

}  // namespace pellix::fuzz
