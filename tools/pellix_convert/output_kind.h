// What is found at an output's name, as both platforms' output files judge it.
#pragma once

#include <string>

namespace pellix::convert {

enum class OutputKind {
  Nothing,  // no file yet
  Regular,
  Stream,   // a character device, FIFO or socket (Windows: any non-disk file)
  Folder,
  Other,    // a block device and the like
};

// Throws the ToolError that refuses an output of `kind` at `path`. Returns
// true for a stream, which is written in place with nothing more to check,
// and false when a file is to be created or replaced beside it.
bool WrittenInPlace(OutputKind kind, const std::string& path, bool overwrite);

}  // namespace pellix::convert
