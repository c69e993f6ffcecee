#include "host/plugin_library.h"

#include <dlfcn.h>

#include <stdexcept>

namespace pellix {

PluginLibrary::PluginLibrary(const std::string& path) : path_(path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* why = dlerror();
    throw std::runtime_error("cannot load plug-in " + path + ": " + (why ? why : "unknown error"));
  }
  void* symbol = dlsym(handle_, "_getPlugin");
  if (symbol == nullptr) {
    dlclose(handle_);
    handle_ = nullptr;
    throw std::runtime_error("plug-in " + path + " does not export _getPlugin");
  }
  getPlugin_ = reinterpret_cast<GetPluginFunction>(symbol);
}

PluginLibrary::~PluginLibrary() {
  if (handle_ != nullptr) dlclose(handle_);
}

}  // namespace pellix
