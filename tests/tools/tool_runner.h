// Runs the real pellix-convert as a child process, with standard input from
// a file or a pipe, and collects its exit status and both outputs; plus a
// scratch folder per test and small file helpers.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pellix::testing {

struct ToolRun {
  int status = -1;  // exit status, or 128 + signal number
  std::string out;
  std::string err;
};

struct ToolInput {
  std::optional<std::string> file;  // standard input read from this file
  std::optional<std::string> pipe;  // standard input fed through a pipe
  // Standard output appended to this file (as `>> FILE` does) instead of
  // being collected in ToolRun::out.
  std::optional<std::string> appendOutputTo;
};

// Standard input fed through a pipe (none: /dev/null).
inline ToolInput Piped(std::optional<std::string> bytes) {
  ToolInput input;
  input.pipe = std::move(bytes);
  return input;
}

// Runs the built pellix-convert with `args` in `folder`; extra environment
// variables as NAME=value.
ToolRun RunTool(const std::vector<std::string>& args, const std::string& folder, const ToolInput& input = {},
                const std::vector<std::string>& environment = {});

// Starts the built pellix-convert with `args` in `folder` (standard input
// and output /dev/null), sends it `signal` after `delay`, and returns its
// exit status (128 + signal number when the signal ended it).
int RunToolInterrupted(const std::vector<std::string>& args, const std::string& folder, int signal,
                       std::chrono::microseconds delay);

// Runs any program found on PATH; true when it exits with status 0.
bool RunProgram(const std::vector<std::string>& args);
bool ProgramAvailable(const std::string& name);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool Exists(const std::string& path);
// Names in the folder, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

// A new empty folder, removed with everything in it on destruction.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// An RGB PNG decoded with libpng: width, height and 3 bytes per pixel.
struct DecodedPng {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t storedFormat = 0;  // libpng's PNG_FORMAT_* of the file as stored
  std::vector<uint8_t> rgb;
};
// Empty optional when libpng cannot read the file.
std::optional<DecodedPng> DecodePng(const std::string& path);

}  // namespace pellix::testing
