// Output files on Windows: what is at the name decides how it is written (see
// output_file.h); temporary files are created and renamed inside interrupt
// shields so an interruption never leaves one behind. Windows opens through
// symbolic links by itself; a rename replaces a link rather than its target,
// so a link is resolved to its final path first.
#include <windows.h>

#include <atomic>
#include <vector>

#include "host/platform/system_error_text.h"
#include "host/platform/wide_text_windows.h"
#include "tools/pellix_convert/interrupt.h"
#include "tools/pellix_convert/output_file.h"
#include "tools/pellix_convert/output_kind.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {


struct Target {
  std::string path;  // symbolic links followed
  OutputKind kind = OutputKind::Nothing;
};

size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

std::string FolderOf(const std::string& path) {
  const size_t separator = LastSeparator(path);
  if (separator == std::string::npos) return ".";
  if (separator == 0 || (separator == 2 && path[1] == ':')) return path.substr(0, separator + 1);
  return path.substr(0, separator);
}

std::string BaseName(const std::string& path) {
  const size_t separator = LastSeparator(path);
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string SystemError(const std::string& what, DWORD error) { return what + ": " + platform::SystemErrorText(error); }

HANDLE Handle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

std::string FinalPath(HANDLE file, const std::string& fallback) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    if (length == 0) return fallback;
    if (length < buffer.size()) return platform::Utf8FromWide(std::wstring(buffer.data(), length));
    buffer.resize(length + 1);
  }
}

Target Examine(const std::string& path) {
  Target target{path};
  const std::wstring wide = platform::WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    // Devices (NUL, CON) and named pipes have no attributes to read.
    const HANDLE device = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
    if (device == INVALID_HANDLE_VALUE) return target;
    target.kind = GetFileType(device) == FILE_TYPE_DISK ? OutputKind::Regular : OutputKind::Stream;
    CloseHandle(device);
    return target;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    target.kind = OutputKind::Folder;
    return target;
  }
  target.kind = OutputKind::Regular;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    const HANDLE file = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      target.path = FinalPath(file, path);
      CloseHandle(file);
    }
  }
  return target;
}

void WriteAll(HANDLE file, const uint8_t* data, size_t size, const std::string& name) {
  while (size > 0) {
    const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(file, data, chunk, &written, nullptr)) throw ToolError(SystemError("cannot write " + name, GetLastError()));
    data += written;
    size -= written;
  }
}

bool IsConsole(HANDLE file) {
  DWORD mode = 0;
  return GetConsoleMode(file, &mode) != 0;
}

[[noreturn]] void RefuseTerminal(const std::string& what) {
  throw UsageError("refusing to write video frames to a terminal (" + what +
                   "): redirect standard output or give -o FILE");
}

// A name of its own beside the target: .NAME.XXXXXX.part, X from the
// process, the time and a counter, created only if it does not exist.
HANDLE CreateTemporary(const std::string& target, std::string* path) {
  static std::atomic<unsigned> serial{0};
  const std::string stem = FolderOf(target) + "/." + BaseName(target) + ".";
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (int attempt = 0; attempt < 100; ++attempt) {
    uint64_t seed = (static_cast<uint64_t>(GetCurrentProcessId()) << 32) ^ GetTickCount64() ^
                    (static_cast<uint64_t>(serial++) * 0x9E3779B97F4A7C15ull);
    std::string suffix;
    for (int i = 0; i < 6; ++i, seed /= 36) suffix += kDigits[seed % 36];
    const std::string candidate = stem + suffix + ".part";
    const HANDLE file = CreateFileW(platform::WidePath(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      *path = candidate;
      return file;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return INVALID_HANDLE_VALUE;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

void OutputFile::checkAvailable(const std::string& path, bool overwrite) {
  if (path.empty() || path.back() == '/' || path.back() == '\\') {
    throw ToolError("output '" + path + "' is not a file name");
  }
  checkNotInput(path);
  const Target target = Examine(path);
  if (WrittenInPlace(target.kind, path, overwrite)) return;
  const std::string folder = FolderOf(target.path);
  const DWORD attributes = GetFileAttributesW(platform::WidePath(folder).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    throw ToolError(SystemError("cannot write output '" + path + "': folder '" + folder + "'", GetLastError()));
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    throw ToolError(SystemError("cannot write output '" + path + "': folder '" + folder + "'", ERROR_DIRECTORY));
  }
}

OutputFile::OutputFile(const std::string& path, bool overwrite) : name_("'" + path + "'"), overwrite_(overwrite) {
  checkAvailable(path, overwrite);
  const Target target = Examine(path);
  target_ = target.path;
  if (target.kind == OutputKind::Stream) {
    direct_ = true;
    const HANDLE file = CreateFileW(platform::WidePath(target.path).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw ToolError(SystemError("cannot write output " + name_, GetLastError()));
    handle_ = reinterpret_cast<intptr_t>(file);
    if (IsConsole(file)) {
      CloseHandle(file);
      handle_ = -1;
      RefuseTerminal(name_);
    }
    return;
  }
  // The file exists only registered for removal on interruption.
  InterruptShield shield;
  std::string temp;
  const HANDLE file = CreateTemporary(target_, &temp);
  if (file == INVALID_HANDLE_VALUE) throw ToolError(SystemError("cannot create output " + name_, GetLastError()));
  handle_ = reinterpret_cast<intptr_t>(file);
  tempPath_ = temp;
  registration_ = RegisterPendingFile(temp);
  if (registration_ < 0) {
    discard();
    throw ToolError("cannot create output " + name_ + ": too many temporary files");
  }
}

std::unique_ptr<OutputFile> OutputFile::standardOutput() {
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (IsConsole(out)) RefuseTerminal("standard output");
  // Appending to the file being read would feed the run its own output.
  checkNotInput(RegularFileOf(reinterpret_cast<intptr_t>(out)), "standard output");
  std::unique_ptr<OutputFile> output(new OutputFile());
  output->name_ = "standard output";
  output->direct_ = true;
  output->ownsHandle_ = false;
  output->handle_ = reinterpret_cast<intptr_t>(out);
  return output;
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() noexcept {
  InterruptShield shield;
  if (handle_ != -1 && ownsHandle_) CloseHandle(Handle(handle_));
  handle_ = -1;
  if (!tempPath_.empty()) {
    DeleteFileW(platform::WidePath(tempPath_).c_str());
    tempPath_.clear();
  }
  ForgetPendingFile(registration_);
  registration_ = -1;
}

void OutputFile::write(const uint8_t* data, size_t size) {
  if (handle_ == -1) throw ToolError("output " + name_ + " is already closed");
  WriteAll(Handle(handle_), data, size, direct_ && !ownsHandle_ ? name_ : "output " + name_);
}

void OutputFile::commit() {
  if (handle_ == -1) throw ToolError("output " + name_ + " is already closed");
  const HANDLE file = Handle(handle_);
  if (direct_) {
    handle_ = -1;
    if (ownsHandle_ && !CloseHandle(file)) throw ToolError(SystemError("cannot write output " + name_, GetLastError()));
    return;
  }
  if (!FlushFileBuffers(file)) throw ToolError(SystemError("cannot write output " + name_, GetLastError()));
  handle_ = -1;
  if (!CloseHandle(file)) throw ToolError(SystemError("cannot write output " + name_, GetLastError()));
  // A link to the input may have appeared under the output's name meanwhile.
  checkNotInput(target_);
  // Renamed and forgotten together: an interruption in between would
  // otherwise remove a name that is no longer ours. Without overwrite the
  // move refuses an existing name by itself.
  InterruptShield shield;
  const std::wstring from = platform::WidePath(tempPath_);
  const std::wstring to = platform::WidePath(target_);
  if (!MoveFileExW(from.c_str(), to.c_str(), overwrite_ ? MOVEFILE_REPLACE_EXISTING : 0)) {
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
      throw ToolError("output " + name_ + " exists (give -y to overwrite it)");
    }
    throw ToolError(SystemError("cannot write output " + name_, error));
  }
  SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL);
  tempPath_.clear();
  ForgetPendingFile(registration_);
  registration_ = -1;
}

}  // namespace pellix::convert
