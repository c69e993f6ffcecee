// Reading an input (a file or standard input) in large blocks, and writing
// an output (a file renamed into place when complete, or standard output).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/pellix_convert/file_identity.h"
#include "tools/pellix_convert/input_file.h"
#include "tools/pellix_convert/output_file.h"

namespace pellix::convert {

class InputStream {
 public:
  // "-" is standard input. Throws a ToolError when the input cannot be opened.
  explicit InputStream(const std::string& path);
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;

  // Reads `size` bytes, fewer only where the input ends; returns the count.
  // Throws a ToolError on a read error.
  size_t read(uint8_t* data, size_t size);
  // One byte, or -1 at the end of the input.
  int readByte();
  // Up to `size` of the next bytes without consuming them (fewer only where
  // the input ends); returns the count.
  size_t peek(uint8_t* data, size_t size);
  // Consumes up to `size` bytes without keeping them (a regular file is
  // seeked); returns the count, fewer only where the input ends.
  uint64_t skip(uint64_t size);

  // "standard input" or 'path', for messages.
  const std::string& name() const { return file_.name(); }
  uint64_t bytesConsumed() const { return consumed_; }
  // Bytes not yet consumed, where the input is a regular file.
  std::optional<uint64_t> bytesRemaining() const;
  // The regular file read (also through standard input); nothing for a pipe.
  const std::optional<FileIdentity>& file() const { return file_.file(); }

 private:
  // Reads more after the unconsumed bytes until `want` are buffered or the
  // input ends; false when none are buffered.
  bool fill(size_t want);

  InputFile file_;
  std::vector<uint8_t> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool atEnd_ = false;
  uint64_t consumed_ = 0;
};

// Whole frames of a fixed size from an input of raw frames.
class RawFrameReader {
 public:
  RawFrameReader(InputStream& input, uint64_t frameBytes);

  // True with a frame in `data`; false at the end of the input. Throws
  // TruncatedInput when the input ends inside a frame, saying how many
  // bytes are left over (a file and a pipe alike: the frames before it are
  // read first).
  bool readFrame(uint8_t* data);

  // Frames still to come, where the input's length is known.
  std::optional<uint64_t> framesRemaining() const;

 private:
  InputStream& input_;
  uint64_t frameBytes_;
  uint64_t framesRead_ = 0;
};

// "-" is standard output; anything else an OutputFile.
std::unique_ptr<OutputFile> OpenOutput(const std::string& path, bool overwrite);

// The message for an input that holds `leftOver` bytes after `frames` whole
// frames of `frameBytes` bytes.
std::string LeftOverMessage(const std::string& input, uint64_t frames, uint64_t frameBytes, uint64_t leftOver);

}  // namespace pellix::convert
