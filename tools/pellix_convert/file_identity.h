// Which file a path or an open handle is (device and file number), so that
// an output that is the input (the same name, a hard or symbolic link to it,
// another spelling of its path, or standard output redirected onto it) is
// recognised whatever it is called.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pellix::convert {

struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FileIdentity& other) const { return device == other.device && inode == other.inode; }
};

// The regular file at `path` (symbolic links followed); nothing when there
// is none, or it is not a regular file.
std::optional<FileIdentity> RegularFileAt(const std::string& path);
// The regular file an open handle reads or writes; nothing for a pipe, a
// terminal or a device.
std::optional<FileIdentity> RegularFileOf(intptr_t handle);

}  // namespace pellix::convert
