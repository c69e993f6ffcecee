#include "tools/pellix_convert/plugin_location.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace pellix::convert {

std::string DefaultPluginPath() {
  if (const char* env = std::getenv("PELLIX_PLUGIN")) {
    if (*env != '\0') return env;
  }
  // /proc/self/exe names the program with every link resolved, so joining
  // the relative path and folding "bin/.." is exact. Without it the path
  // counts from the working folder and loading fails with a clear message.
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return PELLIX_PLUGIN_FROM_BINDIR;
  return (program.parent_path() / PELLIX_PLUGIN_FROM_BINDIR).lexically_normal().string();
}

}  // namespace pellix::convert
