#include "host/plugin_library.h"

#include <stdexcept>

namespace pellix {

PluginLibrary::PluginLibrary(const std::string& path) : path_(path), library_(path) {
  void* symbol = library_.symbol("_getPlugin");
  if (symbol == nullptr) throw std::runtime_error("plug-in " + path + " does not export _getPlugin");
  getPlugin_ = reinterpret_cast<GetPluginFunction>(symbol);
}

}  // namespace pellix
