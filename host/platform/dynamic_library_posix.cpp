#include "host/platform/dynamic_library.h"

#include <dlfcn.h>

#include <stdexcept>

namespace pellix::platform {

DynamicLibrary::DynamicLibrary(const std::string& path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* why = dlerror();
    throw std::runtime_error("cannot load plug-in " + path + ": " + (why ? why : "unknown error"));
  }
}

DynamicLibrary::~DynamicLibrary() { dlclose(handle_); }

void* DynamicLibrary::symbol(const char* name) const { return dlsym(handle_, name); }

}  // namespace pellix::platform
