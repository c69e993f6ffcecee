// A shared library opened by path, and the address of one of its symbols:
// dlopen/dlsym on POSIX systems, LoadLibraryW/GetProcAddress on Windows.
#pragma once

#include <string>

namespace pellix::platform {

class DynamicLibrary {
 public:
  // Throws std::runtime_error naming the path (UTF-8) and the system's
  // reason when the library cannot be loaded.
  explicit DynamicLibrary(const std::string& path);
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // The exported function or object of that name, or null.
  void* symbol(const char* name) const;

 private:
  void* handle_ = nullptr;
};

}  // namespace pellix::platform
