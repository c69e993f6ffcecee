// The one failure type of pellix-convert: a one-line message for standard
// error and the exit status that goes with it.
#pragma once

#include <stdexcept>
#include <string>

namespace pellix::convert {

enum ExitStatus : int {
  kExitOk = 0,
  kExitFailure = 1,  // the input, the output or the plug-in failed
  kExitUsage = 2,    // the command line asks for something impossible
};

class ToolError : public std::runtime_error {
 public:
  explicit ToolError(const std::string& message, int status = kExitFailure)
      : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

// An input that ends inside a frame (or its YUV4MPEG2 marker): the frames
// before it are whole and have been delivered.
class TruncatedInput : public ToolError {
 public:
  explicit TruncatedInput(const std::string& message) : ToolError(message) {}
};

inline ToolError UsageError(const std::string& message) { return ToolError(message, kExitUsage); }

}  // namespace pellix::convert
