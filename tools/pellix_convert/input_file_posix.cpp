#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tools/pellix_convert/input_file.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {

InputFile::InputFile(const std::string& path) {
  int fd = STDIN_FILENO;
  if (path == "-") {
    name_ = "standard input";
  } else {
    name_ = "'" + path + "'";
    fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw ToolError("cannot open input " + name_ + ": " + std::strerror(errno));
    ownsHandle_ = true;
  }
  handle_ = fd;
  struct stat info {};
  if (fstat(fd, &info) != 0) return;
  if (S_ISDIR(info.st_mode)) {
    if (ownsHandle_) close(fd);
    handle_ = -1;
    throw ToolError("input " + name_ + " is a folder");
  }
  if (S_ISREG(info.st_mode)) {
    const off_t position = lseek(fd, 0, SEEK_CUR);
    length_ = static_cast<uint64_t>(info.st_size) - static_cast<uint64_t>(std::max<off_t>(position, 0));
    file_ = FileIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
  }
}

InputFile::~InputFile() {
  if (ownsHandle_ && handle_ >= 0) close(static_cast<int>(handle_));
}

size_t InputFile::readSome(uint8_t* data, size_t size) {
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(handle_), data, size);
    if (got >= 0) return static_cast<size_t>(got);
    if (errno != EINTR) throw ToolError("cannot read input " + name_ + ": " + std::strerror(errno));
  }
}

bool InputFile::seekForward(uint64_t size) {
  return length_ && lseek(static_cast<int>(handle_), static_cast<off_t>(size), SEEK_CUR) >= 0;
}

}  // namespace pellix::convert
