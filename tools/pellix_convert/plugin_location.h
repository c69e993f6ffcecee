// Where pellix-convert finds the plug-in when no --plugin is given.
#pragma once

#include <string>

namespace pellix::convert {

// $PELLIX_PLUGIN when set; otherwise the plug-in installed (or built) with
// this tool, which lies at a fixed path relative to the tool's own folder
// (../lib/<triplet>/pellix/ on Debian), so no absolute path is compiled in.
std::string DefaultPluginPath();

}  // namespace pellix::convert
