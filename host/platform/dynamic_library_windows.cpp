#include "host/platform/dynamic_library.h"

#include <windows.h>

#include <stdexcept>

#include "host/platform/system_error_text.h"
#include "host/platform/wide_text_windows.h"

namespace pellix::platform {

DynamicLibrary::DynamicLibrary(const std::string& path) {
  // The library's own folder is searched first for what it imports, as for
  // a program; a failure is reported by the call, not by a message box.
  const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryExW(WidePath(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  const DWORD error = GetLastError();
  SetErrorMode(previousMode);
  if (module == nullptr) {
    throw std::runtime_error("cannot load plug-in " + path + ": " + SystemErrorText(error));
  }
  handle_ = module;
}

DynamicLibrary::~DynamicLibrary() { FreeLibrary(static_cast<HMODULE>(handle_)); }

void* DynamicLibrary::symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace pellix::platform
