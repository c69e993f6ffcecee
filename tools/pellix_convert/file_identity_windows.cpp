#include <windows.h>

#include "host/platform/wide_text_windows.h"
#include "tools/pellix_convert/file_identity.h"

namespace pellix::convert {

std::optional<FileIdentity> RegularFileOf(intptr_t handle) {
  const HANDLE file = reinterpret_cast<HANDLE>(handle);
  if (file == INVALID_HANDLE_VALUE || file == nullptr || GetFileType(file) != FILE_TYPE_DISK) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  // The volume's serial number and the file's index name one file however
  // it is reached (hard links, other spellings of the path).
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::optional<FileIdentity> RegularFileAt(const std::string& path) {
  // No access asked for, every sharing mode allowed: only the identity is read.
  const HANDLE file = CreateFileW(platform::WidePath(path).c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  const std::optional<FileIdentity> identity = RegularFileOf(reinterpret_cast<intptr_t>(file));
  CloseHandle(file);
  return identity;
}

}  // namespace pellix::convert
