// Where a run's output goes, by what is at its name:
// - nothing, or a regular file (replaced only with `overwrite`): the bytes go
//   to a hidden temporary file beside it (.NAME.XXXXXX.part), renamed into
//   place by commit(), so the name only ever shows a complete output;
//   dropped without commit (an error, an exception, an interruption) the
//   temporary file is removed;
// - a symbolic link: followed, and its target written as above;
// - a character device, a FIFO or a socket: opened and written directly,
//   nothing created or replaced (no `overwrite` needed);
// - a folder or any other kind of file: refused, never replaced;
// - standard output: written directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "tools/pellix_convert/file_identity.h"

namespace pellix::convert {

class OutputFile {
 public:
  // Claims the output at `path`. Throws a ToolError when it is not free (see
  // checkAvailable) or cannot be opened or created.
  OutputFile(const std::string& path, bool overwrite);
  // Standard output; refused when it is a terminal or the input.
  static std::unique_ptr<OutputFile> standardOutput();
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void write(const uint8_t* data, size_t size);
  // The output is complete: flushed, closed and (a file) renamed into place;
  // without `overwrite` an output that appeared meanwhile is still not
  // replaced.
  void commit();

  // 'path' or "standard output", for messages.
  const std::string& name() const { return name_; }
  // Written directly (device, FIFO, socket, standard output): what was
  // written stays written whatever happens later.
  bool direct() const { return direct_; }

  // Fails like the constructor would, without creating or opening anything,
  // so that a run stops before its work when the output is not free.
  static void checkAvailable(const std::string& path, bool overwrite);

  // The run's input (`name` as messages show it): from now on no output may
  // replace it, whatever name it is given. A check fails with a usage
  // ToolError, when the output is claimed and again just before the rename.
  static void protectInput(const FileIdentity& input, const std::string& name);
  // Throws that ToolError when the output file at `path` is the protected
  // input; the second form for an output already open (`what` names it).
  static void checkNotInput(const std::string& path);
  static void checkNotInput(const std::optional<FileIdentity>& output, const std::string& what);

 private:
  OutputFile() = default;
  void discard() noexcept;

  std::string name_;
  std::string target_;    // the file renamed onto: `path` with symbolic links followed
  std::string tempPath_;  // empty when written directly or once renamed
  bool overwrite_ = false;
  bool direct_ = false;
  bool ownsHandle_ = true;
  intptr_t handle_ = -1;  // the operating system's handle of what is written
  int registration_ = -1;  // among the files removed on interruption
};

}  // namespace pellix::convert
