// An output file that appears under its name only when it is complete: the
// bytes go to a hidden temporary file in the same folder, renamed into place
// by commit(). Dropped without commit (an error, an exception, a signal),
// the temporary file is removed and nothing is left that looks whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "tools/pellix_convert/file_identity.h"

namespace pellix::convert {

class AtomicOutputFile {
 public:
  // Creates the temporary file. Throws a ToolError when `path` exists and
  // `overwrite` is false, is a folder, or its folder cannot take a new file.
  AtomicOutputFile(const std::string& path, bool overwrite);
  ~AtomicOutputFile();
  AtomicOutputFile(const AtomicOutputFile&) = delete;
  AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

  void write(const uint8_t* data, size_t size);
  // Flushes, closes and renames into place; without `overwrite` an output
  // that appeared meanwhile is still not replaced.
  void commit();

  const std::string& path() const { return path_; }

  // Fails like the constructor would, without creating anything, so that a
  // run stops before its work when the output is not free.
  static void checkAvailable(const std::string& path, bool overwrite);

  // The run's input (`name` as messages show it): from now on no output may
  // replace it, whatever name it is given. A check fails with a usage
  // ToolError, when the output is claimed and again just before the rename.
  static void protectInput(const FileIdentity& input, const std::string& name);
  // Throws that ToolError when the output file at `path` is the protected
  // input; the second form for an output already open (`what` names it).
  static void checkNotInput(const std::string& path);
  static void checkNotInput(const std::optional<FileIdentity>& output, const std::string& what);

  // Removes pending temporary files and re-raises when the process receives
  // SIGINT, SIGTERM or SIGHUP.
  static void installSignalCleanup();

 private:
  void discard() noexcept;

  std::string path_;
  std::string tempPath_;
  bool overwrite_;
  int fd_ = -1;
  int slot_ = -1;  // entry in the signal handler's list of pending files
};

}  // namespace pellix::convert
