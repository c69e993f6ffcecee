#include "host/platform/program_path.h"

#include <filesystem>
#include <system_error>

namespace pellix::platform {

std::string ProgramPath() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : program.string();
}

}  // namespace pellix::platform
