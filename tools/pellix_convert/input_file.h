// The operating system's side of an input: a file by name, or standard
// input, read in blocks; a regular file also knows its length and can be
// skipped through without reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "tools/pellix_convert/file_identity.h"

namespace pellix::convert {

class InputFile {
 public:
  // "-" is standard input. Throws a ToolError when the input cannot be
  // opened or is a folder.
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Up to `size` bytes; 0 only at the end. Throws a ToolError on a read error.
  size_t readSome(uint8_t* data, size_t size);
  // Moves a regular file's position `size` bytes on; false when it cannot.
  bool seekForward(uint64_t size);

  // "standard input" or 'path', for messages.
  const std::string& name() const { return name_; }
  // Bytes from the position at opening to the end, for a regular file
  // (standard input may be a file someone else has read partly).
  const std::optional<uint64_t>& length() const { return length_; }
  // The regular file read (also through standard input); nothing for a pipe.
  const std::optional<FileIdentity>& file() const { return file_; }

 private:
  std::string name_;
  intptr_t handle_ = -1;
  bool ownsHandle_ = false;
  std::optional<uint64_t> length_;
  std::optional<FileIdentity> file_;
};

}  // namespace pellix::convert
