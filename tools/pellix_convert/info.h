// `pellix-convert --info`: what the plug-in reports about itself and which
// routine variant each slot runs on this processor.
#pragma once

#include <ostream>
#include <string>

namespace pellix::convert {

// Throws a ToolError when the plug-in cannot be loaded or made.
void PrintPluginInfo(const std::string& pluginPath, std::ostream& out);

}  // namespace pellix::convert
