#include <sys/stat.h>

#include "tools/pellix_convert/file_identity.h"

namespace pellix::convert {
namespace {

std::optional<FileIdentity> IfRegular(int status, const struct stat& info) {
  if (status != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

}  // namespace

std::optional<FileIdentity> RegularFileAt(const std::string& path) {
  struct stat info {};
  const int status = stat(path.c_str(), &info);
  return IfRegular(status, info);
}

std::optional<FileIdentity> RegularFileOf(intptr_t handle) {
  struct stat info {};
  const int status = fstat(static_cast<int>(handle), &info);
  return IfRegular(status, info);
}

}  // namespace pellix::convert
