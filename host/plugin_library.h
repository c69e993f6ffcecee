// Loads a plug-in library by path and finds its factory, _getPlugin.
#pragma once

#include <cstdint>
#include <string>

#include "host/platform/dynamic_library.h"
#include "sdk/interfaces.h"

namespace pellix {

// Signature of the one function a plug-in library exports.
using GetPluginFunction = int32_t (*)(Tessel::PluginHost* host, Tessel::Plugin** plugin);

class PluginLibrary {
 public:
  // Throws std::runtime_error naming the path and the loader's message when
  // the library cannot be loaded or does not export _getPlugin.
  explicit PluginLibrary(const std::string& path);

  GetPluginFunction getPlugin() const { return getPlugin_; }
  const std::string& path() const { return path_; }

  // Path of the plug-in built with this tree (set by the build), or the
  // value of PELLIX_PLUGIN when that is set.
  static std::string defaultPath();

 private:
  std::string path_;
  platform::DynamicLibrary library_;
  GetPluginFunction getPlugin_ = nullptr;
};

}  // namespace pellix
