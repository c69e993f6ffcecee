#include "tools/pellix_convert/atomic_output.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
#include <vector>

#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

// Pending temporary names, readable from a signal handler: fixed storage,
// each entry published by an atomic flag after its text is written.
constexpr int kPendingSlots = 8;
constexpr size_t kPendingPathBytes = 4096;
char pendingPaths[kPendingSlots][kPendingPathBytes];
std::atomic<bool> pendingInUse[kPendingSlots];

// The tool writes from one thread; only the signal handler reads concurrently.
int ClaimPendingSlot(const std::string& path) {
  if (path.size() >= kPendingPathBytes) return -1;
  for (int i = 0; i < kPendingSlots; ++i) {
    if (pendingInUse[i].load()) continue;
    std::memcpy(pendingPaths[i], path.c_str(), path.size() + 1);
    pendingInUse[i].store(true);
    return i;
  }
  return -1;
}

void ReleasePendingSlot(int slot) {
  if (slot >= 0) pendingInUse[slot].store(false);
}

extern "C" void RemovePendingAndReraise(int signal) {
  for (int i = 0; i < kPendingSlots; ++i) {
    if (pendingInUse[i].load()) unlink(pendingPaths[i]);
  }
  raise(signal);  // the handler was reset to the default on entry
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SystemError(const std::string& what, int error) { return what + ": " + std::strerror(error); }

// The run's input, which no output may replace.
std::optional<FileIdentity> protectedInput;
std::string protectedInputName;

// Permissions an ordinary new file gets (0666 less the umask); mkstemp
// creates 0600.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void AtomicOutputFile::protectInput(const FileIdentity& input, const std::string& name) {
  protectedInput = input;
  protectedInputName = name;
}

void AtomicOutputFile::checkNotInput(const std::optional<FileIdentity>& output, const std::string& what) {
  if (protectedInput && output == protectedInput) {
    throw UsageError(what + " is the input " + protectedInputName + " (the same file): give another output");
  }
}

void AtomicOutputFile::checkNotInput(const std::string& path) {
  checkNotInput(RegularFileAt(path), "output '" + path + "'");
}

void AtomicOutputFile::checkAvailable(const std::string& path, bool overwrite) {
  if (path.empty() || path.back() == '/') throw ToolError("output '" + path + "' is not a file name");
  checkNotInput(path);
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) throw ToolError("output '" + path + "' is a folder");
    if (!overwrite) throw ToolError("output '" + path + "' exists (give -y to overwrite it)");
  }
  const std::string folder = FolderOf(path);
  if (stat(folder.c_str(), &info) != 0) {
    throw ToolError(SystemError("cannot write output '" + path + "': folder '" + folder + "'", errno));
  }
  if (access(folder.c_str(), W_OK | X_OK) != 0) {
    throw ToolError(SystemError("cannot write output '" + path + "' in folder '" + folder + "'", errno));
  }
}

AtomicOutputFile::AtomicOutputFile(const std::string& path, bool overwrite) : path_(path), overwrite_(overwrite) {
  checkAvailable(path, overwrite);
  std::string pattern = FolderOf(path) + "/." + BaseName(path) + ".XXXXXX.part";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = mkostemps(name.data(), 5, O_CLOEXEC);
  if (fd_ < 0) throw ToolError(SystemError("cannot create output '" + path + "'", errno));
  tempPath_ = name.data();
  slot_ = ClaimPendingSlot(tempPath_);
  if (fchmod(fd_, NewFileMode()) != 0) {
    const int error = errno;
    discard();
    throw ToolError(SystemError("cannot create output '" + path + "'", error));
  }
}

AtomicOutputFile::~AtomicOutputFile() { discard(); }

void AtomicOutputFile::discard() noexcept {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  if (!tempPath_.empty()) {
    unlink(tempPath_.c_str());
    tempPath_.clear();
  }
  ReleasePendingSlot(slot_);
  slot_ = -1;
}

void AtomicOutputFile::write(const uint8_t* data, size_t size) {
  if (fd_ < 0) throw ToolError("output '" + path_ + "' is already closed");
  while (size > 0) {
    const ssize_t written = ::write(fd_, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      throw ToolError(SystemError("cannot write output '" + path_ + "'", errno));
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
}

void AtomicOutputFile::commit() {
  if (fd_ < 0) throw ToolError("output '" + path_ + "' is already closed");
  if (fsync(fd_) != 0 && errno != EINVAL) throw ToolError(SystemError("cannot write output '" + path_ + "'", errno));
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) throw ToolError(SystemError("cannot write output '" + path_ + "'", errno));
  // A link to the input may have appeared under the output's name meanwhile.
  checkNotInput(path_);
  if (overwrite_) {
    if (rename(tempPath_.c_str(), path_.c_str()) != 0) {
      throw ToolError(SystemError("cannot write output '" + path_ + "'", errno));
    }
  } else if (renameat2(AT_FDCWD, tempPath_.c_str(), AT_FDCWD, path_.c_str(), RENAME_NOREPLACE) != 0) {
    const int error = errno;
    if (error == EEXIST) throw ToolError("output '" + path_ + "' exists (give -y to overwrite it)");
    // File systems without RENAME_NOREPLACE: a hard link also refuses to replace.
    if (error != EINVAL && error != ENOSYS) {
      throw ToolError(SystemError("cannot write output '" + path_ + "'", error));
    }
    if (link(tempPath_.c_str(), path_.c_str()) != 0) {
      if (errno == EEXIST) throw ToolError("output '" + path_ + "' exists (give -y to overwrite it)");
      throw ToolError(SystemError("cannot write output '" + path_ + "'", errno));
    }
    unlink(tempPath_.c_str());
  }
  tempPath_.clear();
  ReleasePendingSlot(slot_);
  slot_ = -1;
}

void AtomicOutputFile::installSignalCleanup() {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction action {};
    action.sa_handler = RemovePendingAndReraise;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(signal, &action, nullptr);
  }
}

}  // namespace pellix::convert
