#include "tools/pellix_convert/file_identity.h"

#include <sys/stat.h>

namespace pellix::convert {
namespace {

std::optional<FileIdentity> IfRegular(int status, const struct stat& info) {
  if (status != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileIdentity{info.st_dev, info.st_ino};
}

}  // namespace

std::optional<FileIdentity> RegularFileAt(const std::string& path) {
  struct stat info {};
  const int status = stat(path.c_str(), &info);
  return IfRegular(status, info);
}

std::optional<FileIdentity> RegularFileOf(int fd) {
  struct stat info {};
  const int status = fstat(fd, &info);
  return IfRegular(status, info);
}

}  // namespace pellix::convert
