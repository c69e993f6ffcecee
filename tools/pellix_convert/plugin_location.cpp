#include "tools/pellix_convert/plugin_location.h"

#include <cstdlib>
#include <filesystem>

#include "host/platform/program_path.h"

namespace pellix::convert {

std::string DefaultPluginPath() {
  if (const char* env = std::getenv("PELLIX_PLUGIN")) {
    if (*env != '\0') return env;
  }
  // The program's own file with every link resolved, so joining the relative
  // path and folding "bin/.." is exact. Without it the path counts from the
  // working folder and loading fails with a clear message.
  const std::string program = platform::ProgramPath();
  if (program.empty()) return PELLIX_PLUGIN_FROM_BINDIR;
  return (std::filesystem::u8path(program).parent_path() / std::filesystem::u8path(PELLIX_PLUGIN_FROM_BINDIR))
      .lexically_normal()
      .u8string();
}

}  // namespace pellix::convert
